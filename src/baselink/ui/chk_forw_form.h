#pragma once
// "Testy odbioru": the blocking of the serial links' path tests, and a test
// alarm sent by hand to one receiving base over one path.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QButtonGroup;
class QPushButton;

namespace k4 {

class ForwardingSupervision;
struct ConfigBlock;

class TChkForwForm : public QDialog {
    Q_OBJECT
public:
    TChkForwForm(ForwardingSupervision& supervision, const ConfigBlock& config, QWidget* parent = nullptr);

    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QLineEdit* SbsE;
    QLineEdit* Number;
    QComboBox* ComboBox1;
    QButtonGroup* RadioGroup1;
    QPushButton* SendBtn;
    QPushButton* EndBtn;

    void SendBtnClick();
    void EndBtnClick();

private:
    ForwardingSupervision& supervision_;
    const ConfigBlock& config_;
};

} // namespace k4
