#include "platform/user/drop_down_style.h"

#include <QApplication>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionComplex>

namespace platform_user {

namespace {

// The application's style with a one-pixel frame round the entry and a drop-down button 13 pixels
// wide. Desktop styles give the frame two pixels and the button nineteen, which leaves a 5-digit
// port in a template's 31-unit box too little room to show.
class ComboBoxProportions : public QProxyStyle {
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override {
        if (control != CC_ComboBox || (part != SC_ComboBoxArrow && part != SC_ComboBoxEditField)) {
            return QProxyStyle::subControlRect(control, option, part, widget);
        }
        const QRect box = option->rect;
        const int buttonLeft = box.right() + 1 - kButtonWidth;
        const QRect area = part == SC_ComboBoxArrow
                               ? QRect(buttonLeft, box.top(), kButtonWidth, box.height())
                               : QRect(box.left() + kFrame, box.top() + kFrame,
                                       buttonLeft - box.left() - kFrame, box.height() - 2 * kFrame);
        return visualRect(option->direction, box, area);
    }

private:
    static constexpr int kFrame = 1;
    static constexpr int kButtonWidth = 13;
};

}  // namespace

QStyle* DropDownStyle() {
    static QPointer<ComboBoxProportions> style;
    if (style == nullptr) {
        style = new ComboBoxProportions;
        style->setParent(qApp);
    }
    return style;
}

}  // namespace platform_user
