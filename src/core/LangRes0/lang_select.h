// Which language the stub speaks: the user's language name from the
// language-ID table, and the section of a package's language block that
// serves it. The package descriptor's GetLangString calls ChooseLangSection
// once per process and caches the answer.
#pragma once
#include <cstdint>
#include <string>

namespace kestro {

// Self-delimited list of "NAME = number" entries; the numbers are primary
// language ids in decimal (two digits), the last eight full language ids.
extern const char kLanguageIdTable[];

// Primary language id of a locale id (its low 10 bits); 9 (English) for 0.
int PrimaryLanguageId(std::uint32_t lcid);

// Upper-case English name of a primary language id, or "" when the table
// has none. The lookup is a substring match on the whole entry, so 46 finds
// PORTUGUESE(BRAZIL) through 1046.
std::string LanguageNameForId(int primaryLanguageId);

// Section text chosen from a language block for the user's language name:
// the section named like the user's language (trimmed, any case), else the
// only section, else "English" (same single-section rule); "*" when none
// applies, which makes every key fall back to its default.
constexpr char kNoLangSection[] = "*";
std::string ChooseLangSection(const std::string& languageBlock, const std::string& userLanguage);

// The value of a key=value line in the language settings file, cleaned:
// a lone "|" is empty, one enclosing pair of bars is removed, an empty
// result takes the default, and every "<?>" becomes insert.
std::string CleanLanguageIniValue(const std::string& value, const std::string& def,
                                  const std::string& insert);

}  // namespace kestro
