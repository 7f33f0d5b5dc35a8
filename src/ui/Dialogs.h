#pragma once

#include <QString>

class QDialog;
class QWidget;

// The one seam through which the program asks the user: message boxes and file dialogs. The
// program uses Qt's dialogs; tests put in their own answers and check what was asked.
class Dialogs
{
public:
    enum class Icon { Information, Question, Warning, Critical };
    // YesNo: いいえ is the default button, since every question that はい answers replaces,
    // overwrites or drops something. SaveDiscardCancel: 保存する is the default (it loses
    // nothing); ConfirmDiscardCancel: 確認する, 破棄する, キャンセル, 確認する the default.
    enum class Buttons { Ok, YesNo, SaveDiscardCancel, ConfirmDiscardCancel };
    enum class Answer { Ok, Yes, No, Cancel, Save, Discard, Confirm };

    // Every message box of the sheets carries this title.
    static inline const QString kTitle = QStringLiteral("ゼルティカとドルネア");

    virtual ~Dialogs() = default;

    virtual Answer message(QWidget *parent, const QString &text, const QString &title, Icon icon,
                           Buttons buttons) = 0;
    // A notice whose text stays as the program words it, with the particulars (the file, the
    // reason) shown beneath it.
    virtual void detailedNotice(QWidget *parent, const QString &text, const QString &detail, Icon icon);
    // The filter is written as the sheets give it: "説明|*.ext" pairs separated by "|".
    // An empty result means the user cancelled.
    virtual QString openFile(QWidget *parent, const QString &initialName, const QString &filter, int filterIndex) = 0;
    virtual QString saveFile(QWidget *parent, const QString &initialName, const QString &filter, int filterIndex) = 0;
    // A folder to write a set of files into ("" when cancelled).
    virtual QString chooseFolder(QWidget *parent, const QString &start, const QString &caption) = 0;
    // Long work under way: how far it is (`done` of `total`) under `label`, in a window with
    // キャンセル that comes up only when the work lasts; false once the user has cancelled (the
    // caller stops and leaves everything as it was). `done` reaching `total` closes the window.
    virtual bool progress(QWidget *parent, const QString &label, int done, int total);
    // Shows one of the program's own modal dialogs (the options, the headings) and gives its
    // result; tests answer it through its controls instead.
    virtual int execute(QDialog &dialog);

    static Dialogs &instance();
    // Replaces the dialogs (tests); nullptr restores Qt's. The caller keeps ownership.
    static void setInstance(Dialogs *dialogs);

    // Convenience: a notice with the sheets' title and the information icon (and the particulars
    // beneath it, when there are any).
    static void inform(QWidget *parent, const QString &text, const QString &detail = QString());
    // A Yes/No question with the sheets' title; true on Yes. いいえ is the default answer.
    static bool ask(QWidget *parent, const QString &text, Icon icon = Icon::Information);
};
