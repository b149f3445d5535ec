// The language settings file beside the program: Kestro.language.ini in the
// executable's folder under HELP, then English; section [STRINGS]. It
// carries texts that are not part of a package, such as the message about a
// missing run-time folder.
#pragma once
#include <string>

namespace kestro {

constexpr char kLanguageIniName[] = "Kestro.language.ini";
constexpr char kLanguageIniFolder[] = "HELP\\English\\";
constexpr char kLanguageIniSection[] = "STRINGS";

// Full path of the language settings file of the running executable.
std::string LanguageIniPath();

// The key's text from the language settings file, or def when the file, the
// key or its value is missing; a value enclosed in bars loses them (so
// leading and trailing blanks can be kept), and every "<?>" becomes insert.
std::string GetLanguageIniString(const std::string& key, const std::string& def,
                                 const std::string& insert);

}  // namespace kestro
