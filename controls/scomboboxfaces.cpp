#include "controls/scomboboxmodel.h"

// What a SComboBox draws for its closed box and its open list, as paint operations.

namespace sonaveil::controls {

namespace {

ComboPaintOp make(ComboPaintOp::Kind kind, int x, int y, int w, int h, ColorValue c1, ColorValue c2 = 0,
    std::string text = {}, int align = 0)
{
    return {.kind = kind, .x = x, .y = y, .w = w, .h = h, .c1 = c1, .c2 = c2, .text = std::move(text), .align = align};
}

} // namespace

std::vector<ComboPaintOp> SComboBoxModel::face(int W, int H) const
{
    using Op = ComboPaintOp;
    std::vector<Op> ops;
    const Look look = m_enabled ? m_look : Look::Disabled;
    const bool disabled = look == Look::Disabled;
    const ColorValue textColor = disabled ? lightened(DisabledColor, 176) : NormalColorText;
    const int bx = W - kButtonWidth;
    const int arrowW = 7, arrowH = 4;
    const int arrowX = bx + (kButtonWidth - arrowW) / 2;
    const int arrowY = (H - arrowH) / 2;

    ops.push_back(make(Op::FillRect, 0, 0, W, H, BackColor));
    if (m_appearance == 21) {
        const ColorValue outline = rgb(60, 96, 146);
        const ColorValue border = rgb(174, 198, 224);
        ColorValue top = rgb(99, 143, 190), bottom = rgb(203, 219, 232), arrow = ArrowColor;
        ColorValue control = outline, inner = border;
        if (look == Look::Hover) {
            top = lightened(top, 49);
            bottom = lightened(bottom, 49);
            arrow = lightened(ArrowColor, 89);
        } else if (disabled) {
            top = lightened(top, 176);
            bottom = lightened(bottom, 176);
            arrow = lightened(rgb(192, 192, 192), 85);
            control = lightened(outline, 176);
            inner = lightened(border, 176);
        }
        const ColorValue button = lightened(control, 5);
        ops.push_back(make(Op::Frame, bx, 0, kButtonWidth, H, button));
        ops.push_back(make(Op::VGradient, bx + 2, 2, kButtonWidth - 4, H - 4, top, bottom));
        ops.push_back(make(Op::Arrow, arrowX, arrowY, arrowW, arrowH, arrow));
        ops.push_back(make(Op::Frame, 1, 1, bx - 1, H - 2, inner));
        ops.push_back(make(Op::Frame, 0, 0, W, H, control));
    } else {
        // The other looks: one flat face whose border tells the state.
        const ColorValue border = disabled ? lightened(DisabledColor, 176)
            : look == Look::Hover         ? HighLightBorderColor
            : look == Look::Open          ? SelectBorderColor
                                          : NormalBorderColor;
        const ColorValue buttonFill = disabled ? rgb(244, 244, 244)
            : look == Look::Normal             ? rgb(236, 236, 236)
                                               : lightened(border, 190);
        ops.push_back(make(Op::FillRect, bx, 1, kButtonWidth - 1, H - 2, buttonFill));
        ops.push_back(make(Op::FillRect, bx, 1, 1, H - 2, border));
        ops.push_back(make(Op::Arrow, arrowX, arrowY, arrowW, arrowH, disabled ? rgb(192, 192, 192) : ArrowColor));
        ops.push_back(make(Op::Frame, 0, 0, W, H, border));
    }
    if (Style == 1)
        ops.push_back(make(Op::Text, kTextLeft, 0, bx - kTextLeft - 2, H, textColor, 0, m_text, Alignment));
    return ops;
}

std::vector<ComboPaintOp> SComboBoxModel::listFace(int W, int H) const
{
    using Op = ComboPaintOp;
    std::vector<Op> ops;
    if (ListGradient)
        ops.push_back(make(Op::HGradient, 0, 0, W, H, brightened(GradientColor1), brightened(GradientColor2)));
    else
        ops.push_back(make(Op::FillRect, 0, 0, W, H, ListColor));
    const int rowsToShow = m_itemsToShow < 0 ? (MaxListLength() > 8 ? 7 : MaxListLength()) : m_itemsToShow;
    const bool bar = rowsToShow < MaxListLength();
    const int textWidth = W - 6 - (bar ? kScrollBarWidth : 0);
    const int rows = H / kRowHeight + 1;
    for (int r = 0; r < rows; ++r) {
        const int index = m_scroll + r + 1;
        if (index > count())
            break;
        const Item& it = m_items[index - 1];
        const int y = r * kRowHeight;
        ColorValue color = it.enabled ? it.color : DisabledColor;
        if (index == m_highlighted) {
            ops.push_back(make(Op::FillRect, 1, y, textWidth + 4, kRowHeight, SelectListColor));
            ops.push_back(make(Op::Frame, 1, y, textWidth + 4, kRowHeight, SelectListBorderColor));
            color = HighLightColorText;
        }
        ops.push_back(make(Op::Text, 4, y, textWidth - 2, kRowHeight, color, 0, it.text, Alignment));
    }
    const ColorValue outline = m_appearance == 21 ? rgb(60, 96, 146) : SelectBorderColor;
    ops.push_back(make(Op::Frame, 0, 0, W, H, outline));
    return ops;
}

} // namespace sonaveil::controls
