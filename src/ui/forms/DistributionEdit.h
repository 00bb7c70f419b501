#pragma once

#include <QLineEdit>
#include <memory>
#include <vector>

#include "stochastic/StochasticParameter.h"

class QPushButton;

namespace varnex {
class UserInterfaceSettings;
}

namespace varnex::ui {

class UserPrompts;

// The field in which a user types one stochastic input as a distribution
// text ("NORMAL(5,1)", "12.5"). It shows an invalid text in the invalid
// colours (its reason in the tooltip), completes the typed keyword prefixes
// while auto completion is on, and opens the "Distribution" dialog on a
// double click. The input forms
// bind one of these to each stochastic input of the model.
class DistributionEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit DistributionEdit(QWidget* parent = nullptr);
    ~DistributionEdit() override;

    // The session's settings (auto completion, invalid colours) every field
    // follows; not owned, null for the defaults. The options dialog changes
    // them in place, so a field always sees the current choice.
    static void UseSettings(const UserInterfaceSettings* settings);

    // Shows the parameter's distribution (its label names the input in
    // messages). The parameter is not kept; Apply writes back. Its samples
    // of the last run are remembered for the Dump button.
    void Load(const StochasticParameter& parameter);
    // Whether the current text parses as a valid distribution within the
    // loaded parameter's limits.
    bool IsTextValid() const;
    // The error text of the current text, empty while valid: the input's
    // label, " - ", then the faults, as the check before a run words them.
    QString ErrorText() const;
    // The faults alone, without the label: what is shown beside the field,
    // where the label already names the input.
    QString FaultText() const;
    // The tooltip shown while the text is valid (why the field is disabled,
    // say); an invalid text shows its faults instead.
    void SetHint(const QString& hint);

    // Writes the current text into `parameter` when it is valid; returns
    // false (and leaves `parameter` as it was) when it is not.
    bool Apply(StochasticParameter& parameter) const;

    // Messages and file choices of the field and its dialog go here (not
    // owned); by default they are message boxes over the field.
    void SetPrompts(UserPrompts* prompts);

    // The "Distribution" dialog on the current text; on OK the field shows
    // the dialog's distribution. Returns whether the user chose OK.
    bool OpenDistributionDialog();

    // Whether the loaded parameter holds samples of a run to dump.
    bool HasSamples() const { return !samples_.empty(); }
    // "Dump": asks where to write the loaded parameter's samples (offering
    // "debug.txt") and writes them there. False when cancelled or failed
    // (the failure is reported).
    bool DumpSamples();

    // The colours the field is drawn in now, for checking what the user sees.
    QColor ShownTextColour() const;
    QColor ShownBackColour() const;

signals:
    // The text changed its validity (after every edit).
    void ValidityChanged(bool valid);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Recheck();
    void StopAbsorbing();
    void OnTextEdited(const QString& text);
    void ShowValidity();
    UserPrompts& Prompts();

    StochasticParameter parameter_;
    std::vector<double> samples_;
    bool valid_ = true;
    // The length of the text before the last edit: keywords are completed
    // only while the user types forward, so deleting back over "TR" does not
    // put "TRIANGULAR()" back.
    int lastLength_ = 0;
    // Set while a key that types one character is being handled: only such
    // an edit is completed, never a pasted or dropped text.
    bool typingCharacter_ = false;
    QString hint_;
    // After a completion the user may go on typing the keyword in full:
    // those letters, and then the "(", are already in the template and are
    // absorbed rather than written inside the parentheses. `absorbKeyword_`
    // is the keyword plus "(", `absorbed_` how much of it was typed so far,
    // `absorbCaret_` where the caret must stand for the next key to count.
    QString absorbKeyword_;
    int absorbed_ = 0;
    int absorbCaret_ = -1;
    // The ")" of the last template is still the text's last character: a
    // ")" typed just before it steps over it, as most editors do.
    bool closingPending_ = false;
    UserPrompts* prompts_ = nullptr;
    std::unique_ptr<UserPrompts> ownPrompts_;
};

} // namespace varnex::ui
