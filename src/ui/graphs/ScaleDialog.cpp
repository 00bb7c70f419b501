#include "ui/graphs/ScaleDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "base/NumberText.h"
#include "base/TextFormat.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

namespace {
const char* const fieldLabels[4] = {TranslatableText("X Min"), TranslatableText("X Max"),
                                    TranslatableText("Y Min"), TranslatableText("Y Max")};
} // namespace

ScaleDialog::ScaleDialog(const ChartSettings& settings, QWidget* parent)
    : QDialog(parent), chosen_(settings) {
    setWindowTitle(ToQString(Translate("Scale")));
    auto* form = new QFormLayout;
    const double values[4] = {settings.x.minimum, settings.x.maximum, settings.y.minimum,
                              settings.y.maximum};
    for (int i = 0; i < 4; ++i) {
        fields_[i] = new QLineEdit(ToQString(FormatG(values[i], 8)), this);
        form->addRow(ToQString(Translate(fieldLabels[i])), fields_[i]);
        connect(fields_[i], &QLineEdit::textChanged, this, &ScaleDialog::UpdateOk);
    }
    xLog_ = new QCheckBox(ToQString(Translate("X Log Scale")), this);
    yLog_ = new QCheckBox(ToQString(Translate("Y Log Scale")), this);
    xLog_->setChecked(settings.x.logarithmic);
    yLog_->setChecked(settings.y.logarithmic);
    connect(xLog_, &QCheckBox::toggled, this, &ScaleDialog::UpdateOk);
    connect(yLog_, &QCheckBox::toggled, this, &ScaleDialog::UpdateOk);
    form->addRow(xLog_);
    form->addRow(yLog_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setText(ToQString(Translate("OK")));
    buttons->button(QDialogButtonBox::Cancel)->setText(ToQString(Translate("Cancel")));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (Read(chosen_)) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    message_ = new QLabel(this);
    message_->setWordWrap(true);
    message_->setStyleSheet(QStringLiteral("color: #b00020;"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(message_);
    layout->addWidget(buttons);
    UpdateOk();
}

bool ScaleDialog::Read(ChartSettings& settings, QString* why) const {
    auto refuse = [why](const QString& text) {
        if (why) *why = text;
        return false;
    };
    double v[4];
    for (int i = 0; i < 4; ++i)
        if (!ParseWholeNumber(ToStdString(fields_[i]->text().trimmed()), v[i]) ||
            !std::isfinite(v[i]))
            return refuse(ToQString(
                FormatText(TranslateFormat("%s must be a number."), {Translate(fieldLabels[i])})));
    for (int axis = 0; axis < 2; ++axis)
        if (!(v[2 * axis] < v[2 * axis + 1]))
            return refuse(ToQString(FormatText(
                TranslateFormat("%s must be less than %s."),
                {Translate(fieldLabels[2 * axis]), Translate(fieldLabels[2 * axis + 1])})));
    // A logarithmic axis has no place for 0 or a negative value.
    const QCheckBox* logs[2] = {xLog_, yLog_};
    for (int axis = 0; axis < 2; ++axis)
        if (logs[axis]->isChecked() && v[2 * axis] <= 0.0)
            return refuse(
                ToQString(FormatText(TranslateFormat("%s must be greater than 0 on a log scale."),
                                     {Translate(fieldLabels[2 * axis])})));
    settings.x = {v[0], v[1], xLog_->isChecked()};
    settings.y = {v[2], v[3], yLog_->isChecked()};
    if (why) why->clear();
    return true;
}

QString ScaleDialog::Message() const { return message_->text(); }

void ScaleDialog::UpdateOk() {
    ChartSettings probe = chosen_;
    QString why;
    const bool valid = Read(probe, &why);
    ok_->setEnabled(valid);
    // A greyed OK must say what keeps it grey.
    message_->setText(why);
    message_->setVisible(!valid);
    ok_->setToolTip(why);
}

} // namespace varnex::ui
