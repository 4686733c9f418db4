#pragma once
// "Przeliczenie" (one measurement channel: its type, converter, resistor and
// range) and "Kalibracja" (its two calibration points).
#include "hydro/measurement_channel.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace k4 {

class Messages;

class TPrzeliczenie : public QDialog {
    Q_OBJECT
public:
    TPrzeliczenie(MsrSetting& setting, Messages& messages, QWidget* parent = nullptr);

    QComboBox* Pomiar;
    QComboBox* Przetwornik;
    QLineEdit* Opornik;     // ohms
    QLineEdit* ZakresOd;    // "Zakres/Kalibracja od"
    QLineEdit* ZakresDo;    // "do"
    QPushButton* KalibracjaBtn;
    QPushButton* SaveBtn;

    void KalibracjaBtnClick();
    void SaveBtnClick();
    // The calibration dialog; tests replace it.
    std::function<bool(MsrSetting&, QWidget*)> calibrate;

private:
    // The fields into the setting; false (and the reason told) when one of
    // them cannot be taken.
    bool applyFields();
    bool calibrateByRange();
    void showFields();

    MsrSetting& setting_;
    Messages& messages_;
    bool changedWiring_ = false; // resistor or converter of a calibrated channel
};

class TKalibracja : public QDialog {
    Q_OBJECT
public:
    TKalibracja(MsrSetting& setting, Messages& messages, QWidget* parent = nullptr);

    QLineEdit* Value0; // "Pierwszy punkt pomiarowy"
    QLineEdit* Raw0;
    QLineEdit* Value1; // "Drugi punkt pomiarowy"
    QLineEdit* Raw1;
    QPushButton* SaveBtn;

    void SaveBtnClick();

private:
    MsrSetting& setting_;
    Messages& messages_;
};

} // namespace k4
