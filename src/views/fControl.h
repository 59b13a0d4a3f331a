#pragma once
#include <QStringList>
#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class TProduct;

// The control panel: buttons that read their controls and call one operation of the active handler,
// which they get from the source handed in at creation. Each handler's creation resets the
// model-dependent sections, then shows its own.
class TfrmControl : public QWidget {
    Q_OBJECT
public:
    // The active handler, or nullptr while none exists.
    using TActiveProduct = std::function<TProduct *()>;

    explicit TfrmControl(TActiveProduct activeProduct, QWidget *parent = nullptr);

    // Every model-dependent section back to its default: only the common buttons and "Blower" (RPS).
    void ResetModelSections();
    void ShowSettingsZ1();        // pnlSetParamZ1
    void ShowSettingsZephalOld(); // pnlSetParamZephalOld
    void ShowOldBlower();         // grpAirOld in place of grpAir
    void HideBlower();            // neither blower group
    void ShowCalibrateFI();       // btnLearnDP
    void ShowFuelPumping();       // pnlTN
    void ShowPumpTypes();         // pnlPumpHydrel
    void ShowCirculationPump();   // pnlPump

    // The button handlers.
    void btnStartClick();
    void Button2Click();
    void Button3Click();
    void btnSetAirClick();
    void btnPumpOffClick();
    void btnSetParamZ1Click();
    void btnAirOnClick();
    void btnAirOffClick();
    void btnLearnDPClick();
    void btnSetParamZOldClick();
    void btnPumpBoschClick();
    void btnPumpKestorClick();
    void btnPumpOnClick();

    // The arguments the buttons pass, read from the controls.
    struct TSettings {
        qint16 WorkTime;
        qint8 WorkMode;
        int Setpoint;
        quint8 WaitMode;
        quint8 Power;
    };
    struct TOldSettings {
        quint8 WorkMode;
        quint8 SetpointIndex;
        quint8 RcSetpointIndex;
        quint8 Power;
    };
    TSettings Settings() const;
    TOldSettings OldSettings() const;
    quint8 BlowerRps() const;
    quint8 FuelPumpCount() const;
    quint16 PumpMinutes() const;

    // Sections, top to bottom, and their controls.
    QWidget *pnlSetParamZ1;
    QLabel *lbl2, *lbl3, *lbl4, *lbl5, *lbl6, *lbl7;
    QCheckBox *chkWaitMode, *chkUnlimTime;
    QSlider *trbPower;
    QComboBox *cbWorkMode, *cbT;
    QLineEdit *edWorkTime;
    QPushButton *btnSetParamZ1;

    QWidget *pnlSetParamZephalOld;
    QLabel *lbl8, *lbl9, *lbl10, *lbl11, *lbl12;
    QSlider *trbPowerOld;
    QComboBox *cbWorkModeOld, *cbTold, *cbTpultOld;
    QPushButton *btnSetParamZOld;

    QWidget *pnlOther;
    QPushButton *btnStart, *Button2, *Button3;
    QGroupBox *grpAir, *grpAirOld;
    QLabel *lbl1;
    QLineEdit *edtV_ust;
    QPushButton *btnSetAir, *btnAirOn, *btnAirOff, *btnLearnDP;

    QWidget *pnlTN;
    QLabel *lblPump;
    QLineEdit *edTNcount;
    QPushButton *btnPumpOff;

    QWidget *pnlPumpHydrel;
    QLabel *lbl13;
    QPushButton *btnPumpBosch, *btnPumpKestor;

    QWidget *pnlPump;
    QLabel *lbl14, *lbl15, *lbl16;
    QLineEdit *edPumpTime;
    QPushButton *btnPumpOn;

signals:
    // "Start" and the Z1 settings "Set" want the EDR window minimised before they act.
    void EdrMinimiseWanted();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Calls the operation on the active handler, or tells the user "Not connected".
    void Invoke(const std::function<void(TProduct &)> &operation, const QStringList &onlyFor = {}) const;
    void BuildSettingsZ1();
    void BuildSettingsZephalOld();
    void BuildOther();
    void BuildFuelPumping();
    void BuildPumpTypes();
    void BuildCirculationPump();

    TActiveProduct ActiveProduct;
};
