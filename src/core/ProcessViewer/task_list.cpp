#include "core/ProcessViewer/task_list.h"

#include "core/Files/file_names.h"
#include "core/Utils/ksub.h"

namespace kestro {

std::vector<ProcessImage> ParseTaskList(const std::string& output) {
  std::string text = SUB::ReplaceText(SUB::Trim(output), "\"", "");
  text = SUB::ReplaceText(text, "\r\n", "\n");
  text = SUB::ReplaceText(text, "\r", "\n");
  std::vector<ProcessImage> images;
  size_t from = 0;
  while (from <= text.size()) {
    size_t end = text.find('\n', from);
    if (end == std::string::npos) end = text.size();
    const std::string fields = "," + text.substr(from, end - from) + ",";
    int64_t pid = 0;
    if (SUB::TryParseInt64(SUB::GetItem(fields, 1), pid) && pid > 0 && pid <= 0xFFFFFFFFLL) {
      ProcessImage image;
      image.pid = uint32_t(pid);
      image.path = SUB::Trim(SUB::GetItem(fields, 0));
      images.push_back(image);
    }
    from = end + 1;
  }
  return images;
}

uint32_t TaskListProcessId(const std::string& output, const std::string& name, bool fromEnd) {
  ProcessQuery query;
  query.name = ExtractFileName(CleanProcessName(name));
  return PickProcess(ParseTaskList(output), query, !fromEnd);
}

}  // namespace kestro
