// What a colour label draws: its colours and underline as the pointer comes
// and goes, and where the text and the underline go in its client area.
#pragma once

#include <cstdint>

namespace tallivo {

// Colours in the platform's 0x00BBGGRR order.
constexpr uint32_t kLabelRed = 0x0000FF;
constexpr uint32_t kLabelBlue = 0xFF0000;
constexpr uint32_t kLabelBlack = 0x000000;

class ColorLabelState {
 public:
  void SetTextColour(uint32_t colour) { m_textColour = colour; }
  void SetUnderline(bool on, uint32_t colour);
  // While on, the underline shows only under the pointer; the setting from
  // before is put aside and comes back when switched off.
  void SetUnderlineOnHover(bool on);
  void SetHoverColour(bool on) { m_hoverColour = on; }

  // The pointer came over the label, or left it. Enter while hovering and
  // Leave while not are ignored, so the saved colour is never lost.
  void Enter();
  void Leave();

  bool Hovering() const { return m_hovering; }
  bool Underline() const { return m_underline; }
  uint32_t TextColour() const { return m_textColour; }
  uint32_t UnderlineColour() const { return m_underlineColour; }

 private:
  bool m_hovering = false;
  bool m_underline = false;
  bool m_savedUnderline = false;
  bool m_underlineOnHover = false;
  bool m_hoverColour = true;
  uint32_t m_textColour = kLabelBlack;
  uint32_t m_underlineColour = kLabelBlue;
  uint32_t m_savedTextColour = kLabelBlack;
};

struct LabelLayout {
  int textX = 0;
  int textY = 0;
  // The underline runs from lineX0 up to, not including, lineX1.
  int lineX0 = 0;
  int lineX1 = 0;
  int lineY = 0;
};

// Text at x = 4, centred vertically for the font's character height; the
// underline is always 180 pixels long, starting 2 pixels left of the text.
LabelLayout LayoutLabel(int clientTop, int clientBottom, int charHeight);

}  // namespace tallivo
