// The window as it first opens: every control with its parent, place, text
// and state, the tab order, colours and fonts, and the typing limits.
#include <QLabel>
#include <QTest>
#include <QtMath>

#include <vector>

#include "FormFixture.h"
#include "window/WindowLayout.h"

namespace {

// Every control of the design table, the window itself aside.
std::vector<TControlDesign> Controls() {
    std::vector<TControlDesign> controls;
    for (const TControlDesign& design : WindowLayout())
        if (design.Control != TControl::Form1) controls.push_back(design);
    return controls;
}

QString ControlText(const QWidget* control) {
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
    if (auto* button = qobject_cast<const QPushButton*>(control)) return button->text();
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (auto* memo = qobject_cast<const QPlainTextEdit*>(control)) return memo->toPlainText();
    return {};
}

class LayoutTest : public FormFixture, public ::testing::WithParamInterface<TControlDesign> {
protected:
    int Scaled(int design) const { return qRound(design * Form->logicalDpiY() / 120.0); }
};

TEST_P(LayoutTest, ControlHasItsDesign) {
    const TControlDesign& row = GetParam();
    QWidget* control = Find(row.Name);
    ASSERT_NE(control, nullptr);
    ASSERT_NE(control->parentWidget(), nullptr);
    EXPECT_EQ(control->parentWidget()->objectName(),
              QString::fromLatin1(DesignOf(row.Parent).Name));
    EXPECT_EQ(control->geometry(),
              QRect(Scaled(row.Left), Scaled(row.Top), Scaled(row.Width), Scaled(row.Height)));
    if (row.Text) {
        EXPECT_EQ(ControlText(control), QString::fromUtf8(row.Text));
    }
    EXPECT_EQ(control->isEnabled(), row.Enabled);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        EXPECT_EQ(edit->isReadOnly(), row.ReadOnly);
    }
    EXPECT_EQ(control->font().bold(), row.Font != TControlFont::Window);
    EXPECT_EQ(control->font().pixelSize(), Scaled(13));
    EXPECT_EQ(control->font().families().value(0), QStringLiteral("MS Sans Serif"));
}

INSTANTIATE_TEST_SUITE_P(Form1, LayoutTest, ::testing::ValuesIn(Controls()),
                         [](const auto& info) { return std::string(info.param.Name); });

class WindowTest : public FormFixture {};

TEST_F(WindowTest, WindowHasCaptionPlaceAndSize) {
    EXPECT_EQ(Form->objectName(), QStringLiteral("Form1"));
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("wbqTools"));
    EXPECT_EQ(Form->pos(), QPoint(221, 145));
    const double scale = Form->logicalDpiY() / 120.0;
    EXPECT_EQ(Form->size(), QSize(qRound(847 * scale), qRound(523 * scale)));
}

TEST_F(WindowTest, ColoursAreGreenOnButtonFaceAndGreenOnBlackInTheLog) {
    const QColor green(0, 128, 0);
    EXPECT_EQ(Form->palette().color(QPalette::WindowText), green);
    EXPECT_EQ(Button("Button1")->palette().color(QPalette::ButtonText), green);
    EXPECT_EQ(Find<QLabel>("Label1")->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(Edit("Edit1")->palette().color(QPalette::Text), QColor(Qt::black));
    auto* memo = Find<QPlainTextEdit>("Memo1");
    EXPECT_EQ(memo->palette().color(QPalette::Base), QColor(Qt::black));
    EXPECT_EQ(memo->palette().color(QPalette::Text), green);
    EXPECT_FALSE(memo->isReadOnly());
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(WindowTest, TabMovesThroughTheControlsInDesignOrder) {
    const QStringList expected = {"Button1", "Edit1", "Edit2",  "Memo1", "Button2",
                                  "Edit3",   "Edit4", "Edit5",  "Edit6", "Edit7",
                                  "Button3", "Edit8", "Button4"};
    QStringList chain;
    QWidget* widget = Find("Button1");
    for (int steps = 0; steps < 200 && widget && chain.size() < expected.size(); ++steps) {
        if (expected.contains(widget->objectName())) chain << widget->objectName();
        widget = widget->nextInFocusChain();
    }
    EXPECT_EQ(chain, expected);
}

struct TTypingRow {
    const char* Field;
    const char* Typed;
    const char* Shown;
};

void PrintTo(const TTypingRow& row, std::ostream* os) {
    *os << row.Field << " typed \"" << row.Typed << "\"";
}

class TypingTest : public FormFixture, public ::testing::WithParamInterface<TTypingRow> {};

TEST_P(TypingTest, FieldTakesAtMostItsLength) {
    // The gateway's answers enable the parameter fields.
    Answer("01 04 01 00 2A");
    Answer("84 00 04 00 00 00 00 04");
    Answer("83 00 02 00 34 12");
    QLineEdit* field = Edit(GetParam().Field);
    field->clear();
    TypeText(field, QString::fromUtf8(GetParam().Typed));
    EXPECT_EQ(field->text(), QString::fromUtf8(GetParam().Shown));
}

INSTANTIATE_TEST_SUITE_P(Form1, TypingTest,
                         ::testing::Values(TTypingRow{"Edit8", "abcde", "ABCD"},
                                           TTypingRow{"Edit8", "ф1", "Ф1"},
                                           TTypingRow{"Edit4", "123", "12"},
                                           TTypingRow{"Edit5", "1a2", "1a"},
                                           TTypingRow{"Edit6", "12345", "1234"},
                                           TTypingRow{"Edit1", "1234567", "1234567"}),
                         [](const auto& info) { return "Row" + std::to_string(info.index); });

} // namespace
