// The user's language: the primary language of the thread locale, named by
// the language-ID table (core/lang_select.h). The package descriptor picks
// its language section with this name.
#pragma once
#include <string>

namespace kestro {

// Upper-case English name of the thread locale's language as it is now, or
// "" when the table does not know it.
std::string ThreadLocaleLanguageName();

// ThreadLocaleLanguageName() of the first call, kept for the process: the
// language is chosen once, at start-up.
std::string GetUserLanguageName();

}  // namespace kestro
