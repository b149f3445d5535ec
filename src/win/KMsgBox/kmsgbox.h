// The markup message box: every question, warning and error of the program.
// A modal window with a read-only rich-text control showing the markup of
// core/markup.h, a coloured band with an icon on the left and one to three
// buttons whose captions come from a translatable list. It answers with the
// platform's message-box result codes (IDOK ... IDNO, 0 = no button).
#pragma once
#include <cstdint>
#include <string>

namespace kestro {

constexpr char kMsgBoxClass[] = "KMsgBox";

// Mode or owner of a box: 0 = owner is the active window and the title is
// also shown as a bold heading; 1 = active window, no heading; 2 = like 1
// with Close greyed; anything larger is the owner window's handle.
struct MsgBoxOwner {
  std::uintptr_t value;
  constexpr MsgBoxOwner(int mode) : value(static_cast<std::uintptr_t>(mode)) {}
  template <class Window>
  MsgBoxOwner(Window* window) : value(reinterpret_cast<std::uintptr_t>(window)) {}
};

// Face, size and character set of every later box; a point size of 0 keeps
// the current size.
void SetMsgBoxFont(const std::string& faceName, int pointSize, int charset);

// Shows a box and returns the result code. The character set only decides
// right-to-left display (177 Hebrew, 178 Arabic); the font's character set
// is the one of SetMsgBoxFont. timeoutMs > 0 closes the box by itself with
// the leftmost button's code.
int ShowMsgBox(MsgBoxOwner modeOrOwner, const std::string& text, const std::string& title,
               int timeoutMs, std::uint32_t flags, int charset, const std::string& buttonList);

// Wrappers: an empty title becomes Error / Attention / Confirm, an empty
// button list the default list.
void MsgBoxError(MsgBoxOwner modeOrOwner, const std::string& text, const std::string& title,
                 int charset, const std::string& buttonList);
void MsgBoxAttention(MsgBoxOwner modeOrOwner, const std::string& text, const std::string& title,
                     int timeoutMs, int charset, const std::string& buttonList);
// Yes/No; true on Yes.
bool MsgBoxConfirm(MsgBoxOwner modeOrOwner, const std::string& text, const std::string& title,
                   int timeoutMs, int charset, const std::string& buttonList);
// OK/Cancel; true on OK.
bool MsgBoxOkCancel(MsgBoxOwner modeOrOwner, const std::string& text, const std::string& title,
                    int charset, const std::string& buttonList);

}  // namespace kestro
