#pragma once
// "Dane opcjonalne": the subscriber's full name, contract and accounting
// numbers and dates, and in a forwarding centre the two forwarding words.
// "&Zapisz" puts them into the record in memory; the card saves it.
#include "database/subscriber_record.h"

#include <QDialog>

#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

namespace k4 {

struct ConfigBlock;

// The dates are edited "DD.MM.YYYY" and stored as their eight digits.
std::string storedDate(const QString& shown);
QString shownDate(const std::string& stored);

class TOption : public QDialog {
    Q_OBJECT
public:
    TOption(SubscriberRecord& record, bool edit, const ConfigBlock& config, QWidget* parent = nullptr);
    void ZapiszClick();

    QLineEdit* PelnaNazwa;
    QLineEdit* NumerUmowy;
    QLineEdit* NrKsiegowy;
    QLineEdit* DataPodlaczenia;
    QLineEdit* UmowaOd;
    QLineEdit* UmowaDo;
    QWidget* Forwarding; // mode 1 only

    struct ForwardRow {
        QButtonGroup* mode;
        std::array<QCheckBox*, 4> paths; // RS, radio, GSM, Eth.
        QComboBox* base;
    };
    std::array<ForwardRow, 2> rows{};

private:
    uint16_t wordOf(const ForwardRow& row) const;

    SubscriberRecord& record_;
    bool forwarding_;
};

} // namespace k4
