// The text box: a resizable window with a longer plain text in a read-only,
// scrollable rich-edit control and an optional button that opens a link (an
// address or a file) through the shell. The update agent announces a new
// release with it. No markup applies here: the text is shown as it is.
#pragma once
#include <windows.h>

#include <string>

namespace kestro {

constexpr char kTextBoxClass[] = "KRichEditBox";

// The link is trimmed first. Empty text with a link: the link is opened at
// once and no window shows. Text: the box is shown until closed. Both
// empty: nothing happens and the answer is false.
bool ShowTextBox(HWND owner, const std::string& title, const std::string& buttonCaption, int charset,
                 int pointSize, const std::string& fontFace, bool rightToLeft, int width, int height,
                 const std::string& link, const std::string& text);

}  // namespace kestro
