// The widgets of the design table: every control with its parent, place, size,
// text, font and state, and the tab order.
#include "app/Form1Ui.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtMath>
#include <algorithm>
#include <vector>

#include "app/LogView.h"
#include "app/TypingLimit.h"
#include "window/WindowHints.h"

namespace {

const QColor Green(0, 128, 0);
const QColor WindowTextColour(Qt::black);

QFont DesignFont(const QWidget* form, bool bold) {
    QFont font;
    // The design's bitmap font is rarely found outside Windows; the others are
    // about as narrow, so that the labels' captions fit their design widths.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(DesignToScreen(form, DesignFontHeight));
    font.setBold(bold);
    return font;
}

void SetupForm(QWidget* form, const TControlDesign& design) {
    form->setWindowTitle(QString::fromUtf8(design.Text));
    form->move(DesignLeft, DesignTop);
    form->resize(DesignToScreen(form, design.Width), DesignToScreen(form, design.Height));
    form->setFont(DesignFont(form, false));
    // Green where the control can be used; a disabled one keeps the style's grey.
    QPalette palette = form->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, Green);
        palette.setColor(group, QPalette::ButtonText, Green);
    }
    form->setPalette(palette);
}

QWidget* Create(const TControlDesign& design, QWidget* parent) {
    const QString text = QString::fromUtf8(design.Text ? design.Text : "");
    switch (design.Kind) {
    case TControlKind::Button:
        return new QPushButton(text, parent);
    case TControlKind::Label:
        return new QLabel(text, parent);
    case TControlKind::Edit: {
        auto* edit = new QLineEdit(text, parent);
        edit->setReadOnly(design.ReadOnly);
        // A validator rather than setMaxLength: the window's own texts stay whole.
        if (design.MaxLength > 0)
            edit->setValidator(new TTypingLimit(edit, design.MaxLength, design.UpperCase));
        return edit;
    }
    case TControlKind::Log:
        return new TLogView(parent);
    case TControlKind::Panel: {
        auto* panel = new QFrame(parent);
        panel->setFrameStyle(QFrame::Box | QFrame::Plain);
        QPalette palette = panel->palette();
        palette.setColor(QPalette::WindowText, WindowTextColour);
        panel->setPalette(palette);
        return panel;
    }
    case TControlKind::Form:
        break;
    }
    return nullptr;
}

void SetFont(QWidget* control, const QWidget* form, TControlFont font) {
    if (font == TControlFont::Window) return; // the window's, inherited
    control->setFont(DesignFont(form, true));
    QPalette palette = control->palette();
    if (font == TControlFont::LogFont) {
        palette.setColor(QPalette::Base, Qt::black);
        palette.setColor(QPalette::Text, Green);
    } else {
        // Bold controls also take the window text colour instead of the window's green.
        palette.setColor(QPalette::WindowText, WindowTextColour);
        palette.setColor(QPalette::Text, WindowTextColour);
    }
    control->setPalette(palette);
}

// The tab order within `parent`, a panel's controls in the panel's place.
void AppendTabOrder(const TForm1Ui& ui, TControl parent, std::vector<QWidget*>& order) {
    std::vector<const TControlDesign*> children;
    for (const TControlDesign& design : WindowLayout())
        if (design.Parent == parent && design.Control != parent && design.TabOrder >= 0)
            children.push_back(&design);
    std::sort(children.begin(), children.end(),
              [](const auto* a, const auto* b) { return a->TabOrder < b->TabOrder; });
    for (const TControlDesign* child : children) {
        if (child->Kind == TControlKind::Panel)
            AppendTabOrder(ui, child->Control, order);
        else
            order.push_back(ui.Control(child->Control));
    }
}

} // namespace

int DesignToScreen(const QWidget* widget, int designPixels) {
    return qRound(designPixels * widget->logicalDpiY() / double(DesignPixelsPerInch));
}

void TForm1Ui::SetupUi(QWidget* form) {
    for (const TControlDesign& design : WindowLayout()) {
        QWidget* control =
            design.Control == TControl::Form1 ? form : Create(design, Control(design.Parent));
        Controls[static_cast<size_t>(design.Control)] = control;
        control->setObjectName(QString::fromLatin1(design.Name));
        if (design.Control == TControl::Form1) {
            SetupForm(form, design);
            continue;
        }
        control->setGeometry(DesignToScreen(form, design.Left), DesignToScreen(form, design.Top),
                             DesignToScreen(form, design.Width),
                             DesignToScreen(form, design.Height));
        SetFont(control, form, design.Font);
        control->setEnabled(design.Enabled);
        const TControlHint hint = HintOf(design.Control);
        if (hint.ToolTip) control->setToolTip(QString::fromUtf8(hint.ToolTip));
        if (hint.AccessibleName) control->setAccessibleName(QString::fromUtf8(hint.AccessibleName));
    }
    Control(TControl::Edit5)
        ->setToolTip(QString::fromStdString(ChannelHint(DesignOf(TControl::Edit5).Text)));
    std::vector<QWidget*> order;
    AppendTabOrder(*this, TControl::Form1, order);
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

QLineEdit* TForm1Ui::Edit(TControl control) const {
    return static_cast<QLineEdit*>(Control(control));
}

QPushButton* TForm1Ui::Button(TControl control) const {
    return static_cast<QPushButton*>(Control(control));
}

TLogView* TForm1Ui::Memo1() const {
    return static_cast<TLogView*>(Control(TControl::Memo1));
}
