// A window over the Telnet client double, with its controls found by name as
// the operator's view of them.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "app/Form1.h"
#include "app/LogView.h"
#include "tests/support/window/FakeTelnetClient.h"
#include "tests/support/window/RecordingMessages.h"

// Failures print texts, not their bytes.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// Types `text` key by key; unlike QTest::keyClicks, also letters outside ASCII.
inline void TypeText(QWidget* widget, const QString& text) {
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

class FormFixture : public ::testing::Test {
protected:
    void SetUp() override {
        auto client = std::make_unique<TFakeTelnetClient>(Wire);
        Client = client.get();
        Form = std::make_unique<TForm1>(std::move(client), Messages);
    }

    template <class Control = QWidget> Control* Find(const char* name) const {
        auto* control = Form->findChild<Control*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QLineEdit* Edit(const char* name) const { return Find<QLineEdit>(name); }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }

    QStringList Log() const { return Find<TLogView>("Memo1")->Lines(); }

    // The gateway's answer to a read, as gateway 2001 sends it.
    void Answer(const std::string& descriptorAndData) {
        Client->Deliver("> 2001 MEM " + descriptorAndData + "\r\n");
    }

    TFakeClientRecord Wire;
    TRecordingMessages Messages;
    TFakeTelnetClient* Client = nullptr; // owned by Form
    std::unique_ptr<TForm1> Form;
};
