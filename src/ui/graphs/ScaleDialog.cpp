#include "ui/graphs/ScaleDialog.h"

#include <cmath>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/NumberText.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

ScaleDialog::ScaleDialog(const ChartSettings& settings, QWidget* parent) : QDialog(parent), chosen_(settings) {
    setWindowTitle(ToQString(Translate("Scale")));
    auto* form = new QFormLayout;
    const char* labels[4] = {TranslatableText("X Min"), TranslatableText("X Max"), TranslatableText("Y Min"),
                             TranslatableText("Y Max")};
    const double values[4] = {settings.x.minimum, settings.x.maximum, settings.y.minimum, settings.y.maximum};
    for (int i = 0; i < 4; ++i) {
        fields_[i] = new QLineEdit(ToQString(FormatG(values[i], 8)), this);
        form->addRow(ToQString(Translate(labels[i])), fields_[i]);
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
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    UpdateOk();
}

bool ScaleDialog::Read(ChartSettings& settings) const {
    double v[4];
    for (int i = 0; i < 4; ++i)
        if (!ParseWholeNumber(ToStdString(fields_[i]->text().trimmed()), v[i]) || !std::isfinite(v[i])) return false;
    if (!(v[0] < v[1]) || !(v[2] < v[3])) return false;
    if (xLog_->isChecked() && v[0] <= 0.0) return false;
    if (yLog_->isChecked() && v[2] <= 0.0) return false;
    settings.x = {v[0], v[1], xLog_->isChecked()};
    settings.y = {v[2], v[3], yLog_->isChecked()};
    return true;
}

void ScaleDialog::UpdateOk() {
    ChartSettings probe = chosen_;
    ok_->setEnabled(Read(probe));
}

} // namespace varnex::ui
