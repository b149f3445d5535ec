// The names under which the agent may write a release's files beside itself.
#include <gtest/gtest.h>

#include "core/StubAU/download_names.h"

using namespace kestro;

TEST(DownloadNames, OwnFilesPathsAndAliasesAreRefused) {
  struct Case { const char* name; const char* refusal; } cases[] = {
      {"Setup.exe", nullptr},
      {"News.txt", nullptr},
      {"Product.original.exe", nullptr},
      {"Setup v2 (final).exe", nullptr},
      {"Product.original", "own file Product.original"},
      {"PRODUCT.ORIGINAL", "own file Product.original"},
      {"product.info", "own file Product.info"},
      {"Product.info.sig", "own file"},
      {"Product.AutoUpdate.exe", "own file"},
      {"x_product.autoupdate.exe", "own file"},
      {"X_Product.AutoUpdate.log", "own file"},
      {"Product.original.", "another file"},
      {"Product.original ", "another file"},
      {"PRODUC~1.ORI", "another file"},
      {"Setup~2.exe", "another file"},
      {".", "another file"},
      {"..", "not a plain file name"},
      {"..\\Product.original", "not a plain file name"},
      {"sub/Setup.exe", "not a plain file name"},
      {"C:Setup.exe", "not a plain file name"},
      {"Setup.exe:stream", "not a plain file name"},
      {"Set*up.exe", "not a plain file name"},
      {"Setup\t.exe", "not a plain file name"},
      {"", "no file name"},
  };
  for (const Case& c : cases) {
    const std::string why = DownloadNameRefusal(c.name, "Product.info", "Product.original", "Product.AutoUpdate.exe");
    if (!c.refusal) EXPECT_EQ(why, "") << c.name;
    else EXPECT_NE(why.find(c.refusal), std::string::npos) << "\"" << c.name << "\": " << why;
  }
}
