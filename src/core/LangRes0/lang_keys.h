// The language keys of the stub's texts and their built-in English defaults.
// Translations travel in the package's language block; a key missing from the
// chosen section shows the default here, a key present but empty shows "".
#pragma once

namespace kestro {

// Character sets whose texts read right to left (labels and boxes turn
// their reading order and alignment for them).
constexpr int kHebrewCharset = 177;
constexpr int kArabicCharset = 178;
constexpr bool IsRightToLeftCharset(int charset) {
  return charset == kHebrewCharset || charset == kArabicCharset;
}

struct LangKey {
  const char* key;
  const char* def;
};

namespace lang {

constexpr LangKey kCaption{"s0", "Kestro Installation Suite"};
constexpr LangKey kExtracting{"s1", "Extracting Files..."};
constexpr LangKey kTempDriveNotice{"s2", "Kestro will extract files to your Temp Drive (<DRIVE>)<P>"};
constexpr LangKey kTempDriveShort{"s3", "Limited Free Space on your Temp Drive! (<DRIVE>)<P>"};
constexpr LangKey kSpaceRequired{
    "s4", "<P>Estimated space required on your Temp drive is: <T>  <SPACE_REQ> MB<P>"};
constexpr LangKey kSpaceAvailable{
    "s5", "Free space available on your Temp drive is: <T>  <SPACE_AVAIL> MB<P>"};
constexpr LangKey kContinueSetup{"s6", "<P>Continue with Setup?<P>"};
constexpr LangKey kBadCrc{"s7", "Bad CRC!<P>This indicates that your setup file might be corrupted..."};
constexpr LangKey kInsertDisk{"s8", "Please insert <B>DISK #<DISK_NUM></B> and press OK to continue"};
// There is no "s9".
constexpr LangKey kDownloading{"s10", "Downloading File..."};
constexpr LangKey kAskDownload{
    "s11",
    "<b>INTERNET DOWNLOAD</b><p><p>Kestro will download the Setup File from the Internet...<p>"
    "Please make sure your Internet connection is properly set.<p><p>Continue with Setup?<p><P>"
    "Size: <SIZE> MB<P>"};
constexpr LangKey kNoConnection{"s12", "No valid Internet Connection.<p>Can not Download File!"};
constexpr LangKey kButtons{"BtnText", "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|"};
constexpr LangKey kError{"Error", "Error"};
constexpr LangKey kAttention{"Attention", "Attention"};
constexpr LangKey kConfirm{"Confirm", "Confirm"};
constexpr LangKey kCharset{"Charset", "0"};
constexpr LangKey kFontSize{"FontSize", "8"};
constexpr LangKey kFontName{"FontName", "Tahoma"};

// Keys of the language settings file (section "STRINGS").
constexpr LangKey kRunTimeDirMissing{"RunTimeDir_01", "RunTimeDir (<?>)<P><P>Not Found!"};

}  // namespace lang
}  // namespace kestro
