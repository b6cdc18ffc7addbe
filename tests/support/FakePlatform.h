#pragma once

#include "widgets/PlatformU.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>

// A desktop the tests control: a settable clock, answered message boxes, chosen file names,
// a fixed screen and a folder of their own as the program's folder.
class TFakePlatform : public TUtcClock,
                      public TMessageBoxes,
                      public TFileDialogs,
                      public TScreenInfo,
                      public TDesktopShell {
public:
    TFakePlatform() {
        Platform.Clock = this;
        Platform.Messages = this;
        Platform.Files = this;
        Platform.Screen = this;
        Platform.Shell = this;
        Platform.ProgramDir = Dir.path() + QDir::separator();
    }

    TDateTime NowUtc() const override { return Now; }

    void Show(QWidget*, const QString& text, const QString& caption,
              const QString& detail) override {
        Shown.append(text);
        Captions.append(caption);
        Details.append(detail);
    }
    TAnswer AskYesNoCancel(QWidget*, const QString& text, const QString& caption) override {
        return Next(text, caption);
    }
    TAnswer AskYesNo(QWidget*, const QString& text, const QString& caption) override {
        return Next(text, caption);
    }
    int Choose(QWidget*, const QString& text, const QStringList& buttons,
               const QString& caption) override {
        Asked.append(text);
        Captions.append(caption);
        Buttons.append(buttons);
        if (Choices.empty())
            return static_cast<int>(buttons.size()) - 1; // the box closed
        const int i = Choices.front();
        Choices.pop_front();
        return i;
    }

    bool Open(QWidget*, TFileDialogSettings& s) override { return Pick(s); }
    bool Save(QWidget*, TFileDialogSettings& s) override { return Pick(s); }

    QRect WorkArea() const override { return Work; }
    int DesktopWidth() const override { return Desktop; }
    QList<QRect> ScreenGeometries() const override { return {QRect(0, 0, Desktop, 1024)}; }

    bool Open(const QString& path) override {
        Opened.append(path);
        return ShellOpens;
    }

    QString File(const QString& name) const { return Platform.ProgramDir + name; }

    QTemporaryDir Dir;
    TPlatform Platform;
    TDateTime Now = 46364.5; // 2026-12-08 12:00 UTC
    std::deque<TAnswer> Answers;
    std::deque<int> Choices;       // the buttons pressed in Choose; none left = the box closed
    QList<QStringList> Buttons;    // of every Choose, in order
    std::deque<QString> FileNames; // empty string = the dialog is cancelled
    QStringList Shown;
    QStringList Asked;
    QStringList Opened;
    bool ShellOpens = true; // whether the desktop takes what is handed to it
    QStringList Captions;   // of every box shown or asked, in order; empty = the program's name
    QStringList Details;    // of every box shown, in order
    std::function<void()> WhileAsking;
    QRect Work{0, 0, 1280, 984};
    int Desktop = 1280;

private:
    TAnswer Next(const QString& text, const QString& caption) {
        Asked.append(text);
        Captions.append(caption);
        if (WhileAsking) // what reaches the program while the question is open
            WhileAsking();
        if (Answers.empty())
            return TAnswer::Cancel;
        const TAnswer a = Answers.front();
        Answers.pop_front();
        return a;
    }
    bool Pick(TFileDialogSettings& s) {
        if (FileNames.empty() || FileNames.front().isEmpty()) {
            if (!FileNames.empty())
                FileNames.pop_front();
            return false;
        }
        s.FileName = FileNames.front();
        FileNames.pop_front();
        return true;
    }
};
