// The window's design: every control with its parent, place, size, text,
// font and state, and the tab order.
#include "app/Form1Ui.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtMath>

#include "app/LogView.h"
#include "app/TypingLimit.h"

namespace {

constexpr int DesignDpi = 120;
constexpr int DesignFontHeight = 13;
const QColor Green(0, 128, 0);
const QColor WindowTextColour(Qt::black);

struct TDesignRect {
    int Left, Top, Width, Height;
};

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

template <class Control>
Control* Place(Control* control, QWidget* form, const char* name, TDesignRect rect) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(DesignToScreen(form, rect.Left), DesignToScreen(form, rect.Top),
                         DesignToScreen(form, rect.Width), DesignToScreen(form, rect.Height));
    return control;
}

// Bold controls also take the window text colour instead of the window's green.
void MakeBold(QWidget* control, QWidget* form) {
    control->setFont(DesignFont(form, true));
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, WindowTextColour);
    palette.setColor(QPalette::Text, WindowTextColour);
    control->setPalette(palette);
}

QPushButton* Button(QWidget* form, const char* name, TDesignRect rect, const char* caption) {
    return Place(new QPushButton(QString::fromUtf8(caption), form), form, name, rect);
}

QLabel* Label(QWidget* parent, QWidget* form, const char* name, TDesignRect rect,
              const char* caption) {
    QLabel* label = Place(new QLabel(QString::fromUtf8(caption), parent), form, name, rect);
    MakeBold(label, form);
    return label;
}

// maxLength 0: no limit on typing.
QLineEdit* Edit(QWidget* parent, QWidget* form, const char* name, TDesignRect rect,
                const char* text, int maxLength = 0, bool upperCase = false) {
    QLineEdit* edit = Place(new QLineEdit(QString::fromUtf8(text), parent), form, name, rect);
    MakeBold(edit, form);
    if (maxLength > 0) edit->setValidator(new TTypingLimit(edit, maxLength, upperCase));
    return edit;
}

// A parameter field: "NC" until the gateway has sent its value.
QLineEdit* Field(QWidget* panel, QWidget* form, const char* name, TDesignRect rect, int maxLength) {
    QLineEdit* edit = Edit(panel, form, name, rect, "NC", maxLength);
    edit->setEnabled(false);
    return edit;
}

void SetupForm(QWidget* form) {
    form->setObjectName(QStringLiteral("Form1"));
    form->setWindowTitle(QStringLiteral("wbqTools"));
    form->move(221, 145);
    form->resize(DesignToScreen(form, 847), DesignToScreen(form, 523));
    form->setFont(DesignFont(form, false));
    QPalette palette = form->palette();
    palette.setColor(QPalette::WindowText, Green);
    palette.setColor(QPalette::ButtonText, Green);
    form->setPalette(palette);
}

void SetupLog(TLogView* memo, QWidget* form) {
    memo->setFont(DesignFont(form, true));
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, Green);
    memo->setPalette(palette);
}

} // namespace

int DesignToScreen(const QWidget* widget, int designPixels) {
    return qRound(designPixels * widget->logicalDpiY() / double(DesignDpi));
}

void TForm1Ui::SetupUi(QWidget* form) {
    SetupForm(form);

    Button1 = Button(form, "Button1", {6, 7, 92, 31}, "Connect");
    Edit1 = Edit(form, form, "Edit1", {106, 7, 149, 24}, "5556");
    Edit2 = Edit(form, form, "Edit2", {106, 39, 149, 24}, "127.0.0.1");
    Label6 = Label(form, form, "Label6", {272, 16, 74, 16}, "BQ адрес:");
    Edit8 = Edit(form, form, "Edit8", {272, 40, 57, 24}, "2001", 4, true);
    Memo1 = Place(new TLogView(form), form, "Memo1", {352, 8, 480, 467});
    SetupLog(Memo1, form);

    Panel1 = Place(new QFrame(form), form, "Panel1", {8, 80, 337, 145});
    Panel1->setFrameStyle(QFrame::Box | QFrame::Plain);
    QPalette panelPalette = Panel1->palette();
    panelPalette.setColor(QPalette::WindowText, WindowTextColour);
    Panel1->setPalette(panelPalette);
    Label1 = Label(Panel1, form, "Label1", {8, 16, 86, 16}, "MAC адрес:");
    Label2 = Label(Panel1, form, "Label2", {8, 40, 83, 16}, "WBQ адрес:");
    Label3 = Label(Panel1, form, "Label3", {8, 64, 112, 16}, "Номер канала:");
    Label4 = Label(Panel1, form, "Label4", {8, 88, 55, 16}, "PAN ID:");
    Label5 = Label(Panel1, form, "Label5", {8, 112, 128, 16}, "Тип устройства:");
    Edit3 = Field(Panel1, form, "Edit3", {144, 8, 161, 24}, 0);
    Edit3->setReadOnly(true);
    Edit4 = Field(Panel1, form, "Edit4", {144, 32, 161, 24}, 2);
    Edit5 = Field(Panel1, form, "Edit5", {144, 56, 161, 24}, 2);
    Edit6 = Field(Panel1, form, "Edit6", {144, 80, 161, 24}, 4);
    Edit7 = Field(Panel1, form, "Edit7", {144, 104, 161, 24}, 0);
    Edit7->setReadOnly(true);

    Button2 = Button(form, "Button2", {11, 231, 92, 31}, "Считать");
    Button3 = Button(form, "Button3", {112, 231, 92, 31}, "Записать");
    Button3->setEnabled(false);
    Button4 = Button(form, "Button4", {216, 231, 105, 31}, "Перезагрузка");

    // Window: Button1, Edit1, Edit2, Memo1, Button2, Panel1, Button3, Edit8,
    // Button4; inside the panel its five fields from top to bottom.
    const QList<QWidget*> order = {Button1, Edit1, Edit2, Memo1,   Button2, Edit3,  Edit4,
                                   Edit5,   Edit6, Edit7, Button3, Edit8,   Button4};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}
