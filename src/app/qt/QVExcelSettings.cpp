#include "QVExcelSettings.h"

#include "app/QVSourceFileItem.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QButtonGroup* radios(QWidget* owner, QBoxLayout* layout, const QStringList& labels) {
    auto* group = new QButtonGroup(owner);
    for (int i = 0; i < labels.size(); ++i) {
        auto* b = new QRadioButton(labels[i], owner);
        group->addButton(b, i);
        layout->addWidget(b);
    }
    return group;
}
} // namespace

QVExcelSettings::QVExcelSettings(QWidget* parent) : QVPDFConversionSettings(parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(20, 18, 20, 14);
    outer->setSpacing(10);
    auto* heading = new QLabel(QStringLiteral("<b>Spreadsheet Settings</b>"), this);
    outer->addWidget(heading);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
    form->setHorizontalSpacing(14);
    form->setVerticalSpacing(12);
    auto* structure = new QVBoxLayout;
    structure->setSpacing(4);
    mtx_dataStruct_ = radios(this, structure,
                             {QStringLiteral("Keep the page's font sizes, wrap text, recognise numbers"),
                              QStringLiteral("Default font size, recognise numbers"),
                              QStringLiteral("Plain text: default font, numbers kept as text")});
    form->addRow(QStringLiteral("Data structure:"), structure);

    pub_thousandSepartor_ = new QComboBox(this);
    pub_thousandSepartor_->addItems({QStringLiteral("Comma (1,234.56)"), QStringLiteral("Point (1.234,56)")});
    form->addRow(QStringLiteral("Thousand separator:"), pub_thousandSepartor_);

    auto* sheets = new QVBoxLayout;
    sheets->setSpacing(4);
    mtx_eachPageSheet_ = radios(this, sheets,
                                {QStringLiteral("One sheet per page"), QStringLiteral("All pages in one sheet")});
    auto* addTo = new QHBoxLayout;
    addTo->setContentsMargins(22, 0, 0, 0);
    mtx_aiosAddToRow_ = radios(this, addTo,
                               {QStringLiteral("Each page below the last"),
                                QStringLiteral("Each page beside the last")});
    addTo->addStretch();
    sheets->addLayout(addTo);
    form->addRow(QStringLiteral("Pages:"), sheets);
    outer->addLayout(form);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btn_done_ = new QPushButton(QStringLiteral("Done"), this);
    btn_done_->setDefault(true);
    buttons->addWidget(btn_done_);
    outer->addSpacing(6);
    outer->addLayout(buttons);

    for (QButtonGroup* g : {mtx_dataStruct_, mtx_eachPageSheet_, mtx_aiosAddToRow_})
        connect(g, &QButtonGroup::idClicked, this, &QVExcelSettings::updateValueAction);
    connect(pub_thousandSepartor_, &QComboBox::activated, this, &QVExcelSettings::updateValueAction);
    connect(btn_done_, &QPushButton::clicked, this, &QVExcelSettings::buttonDoneAction);
}

void QVExcelSettings::enableAddToRow() {
    const bool oneSheet = mtx_eachPageSheet_->checkedId() == 1;
    for (QAbstractButton* b : mtx_aiosAddToRow_->buttons())
        b->setEnabled(oneSheet);
}

void QVExcelSettings::updateValues(const std::shared_ptr<QVSourceFileItem>& item) {
    if (!item)
        return;
    const QVExcelOptions& o = *item->convertOpts().excelOptions();
    if (QAbstractButton* b = mtx_dataStruct_->button(static_cast<int>(std::min<uint64_t>(o.excelFormatOption(), 2))))
        b->setChecked(true);
    pub_thousandSepartor_->setCurrentIndex(o.thousandSepartor() == 1 ? 1 : 0);
    mtx_eachPageSheet_->button(o.allInOneSheet() ? 1 : 0)->setChecked(true);
    mtx_aiosAddToRow_->button(o.aiosAddToRow() ? 0 : 1)->setChecked(true);
    enableAddToRow();
}

void QVExcelSettings::updateValueAction() {
    enableAddToRow();
    if (delegate_)
        delegate_->conversionSettingsValueUpdated(*this);
}

void QVExcelSettings::buttonDoneAction() {
    if (delegate_)
        delegate_->conversionSettingsButtonDoneAction(*this);
}
