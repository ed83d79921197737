// The terminal-style log: bold green text on black that only grows, and that
// tells the window of every key released in it.
#pragma once

#include <QPlainTextEdit>
#include <QStringList>

class TLogView : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TLogView(QWidget* parent = nullptr);

    // Adds `text` as a new last line; its own line breaks start further lines.
    void AppendLine(const QString& text);
    // The log's lines as the operator reads them, without the open line after the last one.
    QStringList Lines() const;

signals:
    void KeyReleased();

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
};
