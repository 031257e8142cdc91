#include "ui/color_label_state.h"

namespace tallivo {

void ColorLabelState::SetUnderline(bool on, uint32_t colour) {
  m_underline = on;
  m_underlineColour = colour;
}

void ColorLabelState::SetUnderlineOnHover(bool on) {
  m_underlineOnHover = on;
  if (on) {
    m_savedUnderline = m_underline;
    m_underline = false;
  } else {
    m_underline = m_savedUnderline;
  }
}

void ColorLabelState::Enter() {
  if (m_hovering) return;
  m_hovering = true;
  if (m_underlineOnHover) SetUnderline(true, kLabelBlue);
  if (m_hoverColour) {
    m_savedTextColour = m_textColour;
    m_textColour = kLabelBlue;
  }
}

void ColorLabelState::Leave() {
  if (!m_hovering) return;
  m_hovering = false;
  if (m_underlineOnHover) SetUnderline(false, kLabelBlack);
  if (m_hoverColour) m_textColour = m_savedTextColour;
}

LabelLayout LayoutLabel(int clientTop, int clientBottom, int charHeight) {
  LabelLayout l;
  l.textX = 4;
  // Integer division truncates toward zero, also for a label lower than
  // the font.
  l.textY = clientTop + (clientBottom - charHeight - clientTop) / 2;
  l.lineX0 = l.textX - 2;
  l.lineX1 = l.textX + 178;
  l.lineY = l.textY + charHeight + 1;
  return l;
}

}  // namespace tallivo
