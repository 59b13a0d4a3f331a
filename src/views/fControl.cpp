#include "views/fControl.h"
#include "core/Dialogs.h"
#include "product/Product.h"
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QEvent>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {
constexpr int PanelWidth = 127;
constexpr int WideButton = 121;   // pnlOther
constexpr int NarrowButton = 113; // the other sections
const QString TZephal1Class = QStringLiteral("TZephal1");
const QString TZephalOldClass = QStringLiteral("TZephalOld");
const QString THydrelOldClass = QStringLiteral("THydrelOld");
const QString TOrvelClass = QStringLiteral("TOrvel");

QWidget *Section(QWidget *parent, int height)
{
    auto *section = new QWidget(parent);
    section->setFixedSize(PanelWidth, height);
    return section;
}

QLabel *Label(QWidget *parent, const QString &text, int x, int y, bool bold = false)
{
    auto *label = new QLabel(text, parent);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    label->move(x, y);
    label->adjustSize();
    return label;
}

QPushButton *Button(QWidget *parent, const QString &text, int x, int y, int width)
{
    auto *button = new QPushButton(text, parent);
    button->setGeometry(x, y, width, 25);
    return button;
}

QLineEdit *Edit(QWidget *parent, const QString &text, int x, int y, int width)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setGeometry(x, y, width, 21);
    return edit;
}

QComboBox *List(QWidget *parent, const QStringList &items, int x, int y, int width)
{
    auto *list = new QComboBox(parent);
    list->addItems(items);
    list->setGeometry(x, y, width, 21);
    return list;
}

// A combo box the user may type into: typed text that names an item selects it, other text leaves
// the selection as it was, so the value always comes from a selected item.
QComboBox *TypedList(QWidget *parent, const QStringList &items, int x, int y, int width)
{
    QComboBox *list = List(parent, items, x, y, width);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(list, &QComboBox::editTextChanged, list, [list](const QString &text) {
        const int index = list->findText(text, Qt::MatchFixedString);
        if (index >= 0 && index != list->currentIndex())
            list->setCurrentIndex(index);
    });
    return list;
}

QStringList NumberItems(int from, int to)
{
    QStringList items;
    for (int value = from; value <= to; ++value)
        items << QString::number(value);
    return items;
}

// The text as an integer within [low, high]; the default when it is not one.
int IntegerOr(const QLineEdit *edit, int fallback, int low, int high)
{
    bool ok = false;
    const int value = edit->text().toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}
} // namespace

TfrmControl::TfrmControl(TActiveProduct activeProduct, QWidget *parent)
    : QWidget(parent), ActiveProduct(std::move(activeProduct))
{
    setWindowTitle(QStringLiteral("Управление"));
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    setFixedWidth(PanelWidth);
    resize(PanelWidth, 876);

    BuildSettingsZ1();
    BuildSettingsZephalOld();
    BuildOther();
    BuildFuelPumping();
    BuildPumpTypes();
    BuildCirculationPump();

    // Fixed-height sections stacked from the top: a hidden one takes no room.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QWidget *section : {pnlSetParamZ1, pnlSetParamZephalOld, pnlOther, pnlTN, pnlPumpHydrel, pnlPump})
        layout->addWidget(section);
    layout->addStretch();
    ResetModelSections();
}

// Without a handler, or with a handler of another class than the button is meant for, the user reads
// "Not connected". Errors go to the default error report.
void TfrmControl::Invoke(const std::function<void(TProduct &)> &operation, const QStringList &onlyFor) const
{
    TProduct *product = ActiveProduct();
    if (!product || (!onlyFor.isEmpty() && !onlyFor.contains(product->ClassName()))) {
        ShowMessage(QStringLiteral("Not connected"));
        return;
    }
    try {
        operation(*product);
    } catch (const std::exception &error) {
        ReportError(error);
    }
}

bool TfrmControl::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange) {
        if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
            frame->installEventFilter(this);
    }
    return QWidget::event(event);
}

bool TfrmControl::eventFilter(QObject *watched, QEvent *event)
{
    // A fixed border: the frame is as wide as the panel and its borders, whatever the main window does.
    QWidget *frame = parentWidget();
    if (watched == frame && (event->type() == QEvent::Show || event->type() == QEvent::Resize)
        && !frame->isMinimized() && frame->width() != frame->sizeHint().width())
        frame->resize(frame->sizeHint().width(), frame->height());
    return QWidget::eventFilter(watched, event);
}

void TfrmControl::BuildSettingsZ1()
{
    pnlSetParamZ1 = Section(this, 249);
    QWidget *p = pnlSetParamZ1;
    lbl2 = Label(p, QStringLiteral("Settings:"), 4, 4, true);
    chkWaitMode = new QCheckBox(QStringLiteral("Allow ventilation"), p);
    chkWaitMode->setGeometry(4, 22, 120, 17);
    lbl3 = Label(p, QStringLiteral("Power:"), 4, 42);
    trbPower = new QSlider(Qt::Horizontal, p);
    trbPower->setRange(0, 9);
    trbPower->setValue(0);
    trbPower->setTickPosition(QSlider::TicksBelow);
    trbPower->setGeometry(4, 56, 119, 24);
    lbl4 = Label(p, QStringLiteral("Workmode:"), 4, 82);
    cbWorkMode = List(p, {QStringLiteral("Prev. value"), QStringLiteral("T plate"), QStringLiteral("T RC"),
                          QStringLiteral("Ext. T sensor"), QStringLiteral("Power")},
                      4, 96, NarrowButton);
    cbWorkMode->setCurrentIndex(-1);
    lbl5 = Label(p, QStringLiteral("T setpoint:"), 4, 125);
    QStringList setpoints = NumberItems(0, 10);
    setpoints << QStringLiteral("12") << QStringLiteral("14") << QStringLiteral("15") << QStringLiteral("16")
              << QStringLiteral("17") << QStringLiteral("18") << QStringLiteral("20") << QStringLiteral("23")
              << QStringLiteral("25") << QStringLiteral("27") << QStringLiteral("30") << QStringLiteral("35")
              << QStringLiteral("40") << QStringLiteral("45") << QStringLiteral("50");
    cbT = TypedList(p, setpoints, 66, 122, 51);
    cbT->setMaxVisibleItems(15);
    cbT->setCurrentIndex(0);
    lbl6 = Label(p, QStringLiteral("Time of work:"), 4, 148);
    chkUnlimTime = new QCheckBox(QStringLiteral("Unlimited"), p);
    chkUnlimTime->setGeometry(4, 164, 110, 17);
    edWorkTime = Edit(p, QStringLiteral("20"), 4, 185, 50);
    lbl7 = Label(p, QStringLiteral("min."), 58, 188);
    btnSetParamZ1 = Button(p, QStringLiteral("Set"), 4, 215, NarrowButton);
    connect(btnSetParamZ1, &QPushButton::clicked, this, &TfrmControl::btnSetParamZ1Click);
}

void TfrmControl::BuildSettingsZephalOld()
{
    pnlSetParamZephalOld = Section(this, 203);
    QWidget *p = pnlSetParamZephalOld;
    lbl8 = Label(p, QStringLiteral("Settings:"), 4, 4, true);
    lbl9 = Label(p, QStringLiteral("Power:"), 4, 22);
    trbPowerOld = new QSlider(Qt::Horizontal, p);
    trbPowerOld->setRange(1, 8);
    trbPowerOld->setValue(1);
    trbPowerOld->setTickPosition(QSlider::TicksBelow);
    trbPowerOld->setGeometry(4, 36, 119, 24);
    lbl10 = Label(p, QStringLiteral("Workmode:"), 4, 62);
    cbWorkModeOld = List(p, {QStringLiteral("Power"), QStringLiteral("T RC"), QStringLiteral("T plate"),
                             QStringLiteral("Ext. T sensor"), QString(), QString(), QString()},
                         4, 76, NarrowButton);
    cbWorkModeOld->setCurrentIndex(0);
    lbl11 = Label(p, QStringLiteral("T setpoint:"), 4, 105);
    cbTold = TypedList(p, NumberItems(15, 30), 72, 102, 45);
    cbTold->setCurrentIndex(0);
    lbl12 = Label(p, QStringLiteral("T RC' sensor:"), 4, 132);
    cbTpultOld = TypedList(p, NumberItems(15, 30), 72, 129, 45);
    cbTpultOld->setCurrentIndex(0);
    btnSetParamZOld = Button(p, QStringLiteral("Set"), 4, 164, NarrowButton);
    connect(btnSetParamZOld, &QPushButton::clicked, this, &TfrmControl::btnSetParamZOldClick);
}

void TfrmControl::BuildOther()
{
    pnlOther = Section(this, 168);
    QWidget *p = pnlOther;
    btnStart = Button(p, QStringLiteral("Start"), 3, 4, WideButton);
    Button2 = Button(p, QStringLiteral("Stop"), 3, 32, WideButton);
    Button3 = Button(p, QStringLiteral("Get EDR"), 3, 60, WideButton);
    connect(btnStart, &QPushButton::clicked, this, &TfrmControl::btnStartClick);
    connect(Button2, &QPushButton::clicked, this, &TfrmControl::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TfrmControl::Button3Click);

    grpAir = new QGroupBox(QStringLiteral("Blower"), p);
    grpAir->setGeometry(3, 88, WideButton, 48);
    lbl1 = Label(grpAir, QStringLiteral("RPS:"), 5, 22);
    edtV_ust = Edit(grpAir, QStringLiteral("0"), 34, 19, 34);
    btnSetAir = Button(grpAir, QStringLiteral("Set"), 71, 17, 46);
    connect(btnSetAir, &QPushButton::clicked, this, &TfrmControl::btnSetAirClick);

    // Same place as grpAir: the models show one or the other.
    grpAirOld = new QGroupBox(QStringLiteral("Blower"), p);
    grpAirOld->setGeometry(3, 88, WideButton, 48);
    btnAirOn = Button(grpAirOld, QStringLiteral("On"), 5, 17, 54);
    btnAirOff = Button(grpAirOld, QStringLiteral("Off"), 62, 17, 54);
    connect(btnAirOn, &QPushButton::clicked, this, &TfrmControl::btnAirOnClick);
    connect(btnAirOff, &QPushButton::clicked, this, &TfrmControl::btnAirOffClick);

    btnLearnDP = Button(p, QStringLiteral("Calibrate FI"), 3, 139, WideButton);
    connect(btnLearnDP, &QPushButton::clicked, this, &TfrmControl::btnLearnDPClick);
}

void TfrmControl::BuildFuelPumping()
{
    pnlTN = Section(this, 45);
    lblPump = Label(pnlTN, QStringLiteral("Fuel pumping"), 4, 2);
    edTNcount = Edit(pnlTN, QStringLiteral("0"), 4, 19, 50);
    btnPumpOff = Button(pnlTN, QStringLiteral("Set"), 60, 17, 57);
    connect(btnPumpOff, &QPushButton::clicked, this, &TfrmControl::btnPumpOffClick);
}

void TfrmControl::BuildPumpTypes()
{
    pnlPumpHydrel = Section(this, 88);
    lbl13 = Label(pnlPumpHydrel, QStringLiteral("Change Pump to:"), 4, 4);
    btnPumpBosch = Button(pnlPumpHydrel, QStringLiteral("Bosch"), 4, 24, NarrowButton);
    btnPumpKestor = Button(pnlPumpHydrel, QStringLiteral("Kestor"), 4, 55, NarrowButton);
    connect(btnPumpBosch, &QPushButton::clicked, this, &TfrmControl::btnPumpBoschClick);
    connect(btnPumpKestor, &QPushButton::clicked, this, &TfrmControl::btnPumpKestorClick);
}

void TfrmControl::BuildCirculationPump()
{
    pnlPump = Section(this, 80);
    lbl14 = Label(pnlPump, QStringLiteral("Pump"), 4, 2);
    lbl15 = Label(pnlPump, QStringLiteral("Worktime:"), 4, 22);
    edPumpTime = Edit(pnlPump, QStringLiteral("1"), 62, 19, 30);
    lbl16 = Label(pnlPump, QStringLiteral("min."), 96, 22);
    btnPumpOn = Button(pnlPump, QStringLiteral("Start"), 4, 47, NarrowButton);
    connect(btnPumpOn, &QPushButton::clicked, this, &TfrmControl::btnPumpOnClick);
}

void TfrmControl::ResetModelSections()
{
    for (QWidget *section : {pnlSetParamZ1, pnlSetParamZephalOld, pnlTN, pnlPumpHydrel, pnlPump,
                             static_cast<QWidget *>(grpAirOld), static_cast<QWidget *>(btnLearnDP)})
        section->hide();
    grpAir->show();
}

void TfrmControl::ShowSettingsZ1()
{
    pnlSetParamZ1->show();
}

void TfrmControl::ShowSettingsZephalOld()
{
    pnlSetParamZephalOld->show();
}

void TfrmControl::ShowOldBlower()
{
    grpAir->hide();
    grpAirOld->show();
}

void TfrmControl::HideBlower()
{
    grpAir->hide();
    grpAirOld->hide();
}

void TfrmControl::ShowCalibrateFI()
{
    btnLearnDP->show();
}

void TfrmControl::ShowFuelPumping()
{
    pnlTN->show();
}

void TfrmControl::ShowPumpTypes()
{
    pnlPumpHydrel->show();
}

void TfrmControl::ShowCirculationPump()
{
    pnlPump->show();
}

TfrmControl::TSettings TfrmControl::Settings() const
{
    TSettings settings;
    settings.WorkTime = qint16(chkUnlimTime->isChecked() ? -1 : IntegerOr(edWorkTime, 20, -32768, 32767));
    settings.WorkMode = qint8(cbWorkMode->currentIndex());
    const int setpointIndex = cbT->currentIndex();
    settings.Setpoint = setpointIndex >= 0 ? cbT->itemText(setpointIndex).toInt() : 0;
    settings.WaitMode = chkWaitMode->isChecked() ? 1 : 2;
    settings.Power = quint8(trbPower->value());
    return settings;
}

TfrmControl::TOldSettings TfrmControl::OldSettings() const
{
    return {quint8(qMax(0, cbWorkModeOld->currentIndex())), quint8(qMax(0, cbTold->currentIndex())),
            quint8(qMax(0, cbTpultOld->currentIndex())), quint8(trbPowerOld->value())};
}

quint8 TfrmControl::BlowerRps() const
{
    return quint8(IntegerOr(edtV_ust, 0, 0, 255));
}

quint8 TfrmControl::FuelPumpCount() const
{
    return quint8(IntegerOr(edTNcount, 0, 0, 255));
}

quint16 TfrmControl::PumpMinutes() const
{
    return quint16(IntegerOr(edPumpTime, 1, 0, 65535));
}

void TfrmControl::btnStartClick()
{
    emit EdrMinimiseWanted();
    Invoke([this](TProduct &product) {
        if (product.ClassName() == TZephal1Class) {
            const TSettings s = Settings();
            product.StartWithSettings(s.WorkTime, s.WorkMode, s.Setpoint, s.WaitMode, s.Power);
        } else {
            product.Start();
        }
    });
}

void TfrmControl::Button2Click()
{
    Invoke([](TProduct &product) { product.Stop(); });
}

void TfrmControl::Button3Click()
{
    Invoke([](TProduct &product) { product.ReadEDR(); });
}

void TfrmControl::btnSetAirClick()
{
    Invoke([this](TProduct &product) { product.SetBlower(BlowerRps()); });
}

void TfrmControl::btnPumpOffClick()
{
    Invoke([this](TProduct &product) { product.PumpFuel(FuelPumpCount()); });
}

void TfrmControl::btnSetParamZ1Click()
{
    emit EdrMinimiseWanted();
    const TProduct *active = ActiveProduct();
    if (!active) {
        ShowMessage(QStringLiteral("Not connected"));
        return;
    }
    // Shown for the new-revision Zephal-33 too, but only the Zephal-1 takes these settings.
    if (active->ClassName() != TZephal1Class)
        return;
    Invoke([this](TProduct &product) {
        const TSettings s = Settings();
        product.ApplySettings(s.WorkTime, s.WorkMode, s.Setpoint, s.WaitMode, s.Power);
    });
}

void TfrmControl::btnAirOnClick()
{
    Invoke([this](TProduct &product) { product.SetBlower(BlowerRps()); }, {TZephalOldClass});
}

void TfrmControl::btnAirOffClick()
{
    Invoke([](TProduct &product) { product.Stop(); }, {TZephalOldClass});
}

void TfrmControl::btnLearnDPClick()
{
    Invoke([](TProduct &product) { product.CalibrateFI(); }, {TZephalOldClass, THydrelOldClass});
}

void TfrmControl::btnSetParamZOldClick()
{
    Invoke(
        [this](TProduct &product) {
            const TOldSettings s = OldSettings();
            product.ApplySettingsOld(s.WorkMode, s.SetpointIndex, s.RcSetpointIndex, s.Power);
        },
        {TZephalOldClass});
}

void TfrmControl::btnPumpBoschClick()
{
    Invoke([](TProduct &product) { product.SetPumpType(true); }, {THydrelOldClass});
}

void TfrmControl::btnPumpKestorClick()
{
    Invoke([](TProduct &product) { product.SetPumpType(false); }, {THydrelOldClass});
}

void TfrmControl::btnPumpOnClick()
{
    Invoke([this](TProduct &product) { product.RunPump(PumpMinutes()); }, {TOrvelClass});
}
