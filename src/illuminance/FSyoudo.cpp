#include "illuminance/FSyoudo.h"

#include "grid/WorkFile.h"
#include "illuminance/FMidashi.h"
#include "illuminance/FSyoudoRMenu.h"
#include "illuminance/IlluminancePrintTable.h"
#include "illuminance/RptSyoudo.h"
#include "report/ReportOutput.h"
#include "settings/SettingsStore.h"
#include "illuminance/IlluminanceCalculation.h"
#include "illuminance/PickLists.h"
#include "illuminance/RoomRecord.h"
#include "illuminance/RoomSheet.h"
#include "master/FixedField.h"
#include "master/MasterTables.h"
#include "text/NumberText.h"
#include "ui/Cp932Validator.h"
#include "ui/Dialogs.h"
#include "ui/FTitle.h"
#include "ui/HelpWindow.h"
#include "ui/ListGrid.h"
#include "ui/UpDownButtons.h"
#include "version.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// The boxes that take any key; every other control takes digits, backspace, space and ".".
const QStringList kFreeTextBoxes = {QStringLiteral("Txt_Kai"), QStringLiteral("Txt_Shitsu"),
                                    QStringLiteral("Txt_Shitsu2"), QStringLiteral("Txt_Kigu"),
                                    QStringLiteral("Txt_WKougen")};

// Derived values the calculation fills; they take no focus.
const QStringList kOutputBoxes = {QStringLiteral("Txt_Menseki"), QStringLiteral("Txt_Shisu"),
                                  QStringLiteral("Txt_Tousu1"), QStringLiteral("Txt_Syoudo2")};

// The tab each field brings up on entry (Txt_Kigu, Txt_WKougen, Txt_WTousu, the reflectances,
// Txt_Horitsu and Txt_Biko2 have rules of their own).
const QHash<QString, int> kCommonEntryTabs = {
    {QStringLiteral("Txt_Shitsu"), 1},    {QStringLiteral("Txt_Shitsu2"), 1},  {QStringLiteral("Txt_Kousoku"), 0},
    {QStringLiteral("Txt_Syoudo1"), 0},   {QStringLiteral("Txt_Maguchi"), 0},  {QStringLiteral("Txt_Okuyuki"), 0},
    {QStringLiteral("Txt_Takasa"), 0},    {QStringLiteral("Txt_Stakasa"), 0},  {QStringLiteral("Txt_Kudari"), 0},
    {QStringLiteral("Txt_Syouritsu"), 0}, {QStringLiteral("Txt_Tousu2"), 6},   {QStringLiteral("Txt_Daisu"), 6},
    {QStringLiteral("Txt_Biko1"), 6},
};

// Fields whose tab comes up only after their name is stored (the luminaire and lamp-name fields
// show tab 0 first).
const QHash<QString, int> kLateEntryTabs = {
    {QStringLiteral("Txt_Kigu"), 2},  {QStringLiteral("Txt_WKougen"), 3}, {QStringLiteral("Txt_WTousu"), 3},
    {QStringLiteral("Txt_Hrten"), 4}, {QStringLiteral("Txt_Hrkabe"), 4},  {QStringLiteral("Txt_Hryuka"), 4},
};

// The patterns that normalise some numeric boxes as soon as they are left.
const QHash<QString, QString> kLeavingPatterns = {
    {QStringLiteral("Txt_Kousoku"), QStringLiteral("####0")}, {QStringLiteral("Txt_Syoudo1"), QStringLiteral("##0")},
    {QStringLiteral("Txt_Okuyuki"), QStringLiteral("##0.0")}, {QStringLiteral("Txt_Takasa"), QStringLiteral("##0.0")},
    {QStringLiteral("Txt_Stakasa"), QStringLiteral("0.00")},  {QStringLiteral("Txt_Kudari"), QStringLiteral("#0.0")},
};

const char *const kTabCaptions[] = {"行選択", "室  名", "照明器具種類", "光源名称",
                                    "反射率", "保守率", "容量計算", "合計容量計算"};

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    // Captions of two lines stand centred, as one block beside their box.
    label->setAlignment(text.contains(u'\n') ? Qt::AlignCenter : (Qt::AlignRight | Qt::AlignVCenter));
    return label;
}

QLabel *unit(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("color: #555;"));
    return label;
}

// Holds the lamp name box with the lamp entry pair laid over it: the name and the lamps per
// fitting are typed in the pair and shown in the name box.
class LampNameBox : public QWidget
{
public:
    LampNameBox(QLineEdit *name, QLineEdit *entry, QLineEdit *perFitting, QWidget *parent)
        : QWidget(parent), m_name(name), m_entry(entry), m_perFitting(perFitting)
    {
        for (QLineEdit *e : {name, entry, perFitting})
            e->setParent(this);
        entry->raise();
        perFitting->raise();
        setMinimumHeight(name->sizeHint().height());
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    QSize sizeHint() const override { return {200, m_name->sizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent *) override
    {
        const int w = width();
        const int h = height();
        const int perWidth = std::max(40, w / 5);
        m_name->setGeometry(0, 0, w, h);
        m_entry->setGeometry(0, 0, w - perWidth - 2, h);
        m_perFitting->setGeometry(w - perWidth, 0, perWidth, h);
    }

private:
    QLineEdit *m_name;
    QLineEdit *m_entry;
    QLineEdit *m_perFitting;
};

} // namespace

FSyoudo::FSyoudo(const MasterTables &masters, const QString &workFolder, QWidget *parent)
    : SheetWindow(workFolder, QStringLiteral("t_syou.mdb"), parent), m_masters(masters),
      m_recData(new RecordGridHolder(QStringLiteral("SPD_RecData"), this))
{
    setObjectName(QStringLiteral("F_Syoudo"));
    setWindowTitle(QStringLiteral("照度計算書"));
    m_recData->grid.setSize(RoomRecord::kRows, RoomRecord::kColumns);

    buildMenus();
    buildToolBar();
    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(buildPanel(), 0);
    layout->addWidget(buildTabs(), 1);
    setCentralWidget(central);

    auto *panel1 = new QLabel(this);
    panel1->setObjectName(QStringLiteral("StatusBar1_Panel1"));
    auto *panel2 = new QLabel(QStringLiteral("Ver %1.%2.%3")
                                  .arg(PRX5M_VERSION_MAJOR)
                                  .arg(PRX5M_VERSION_MINOR)
                                  .arg(PRX5M_VERSION_PATCH),
                              this);
    panel2->setObjectName(QStringLiteral("StatusBar1_Panel2"));
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(panel1, 1);
    statusBar()->addPermanentWidget(panel2);

    // Form load.
    m_tabs->setCurrentIndex(0);
    m_lampPage = m_luminairePage = m_roomPage = 1;
    Syoumei_Paint(m_luminairePage);
    Kougen_Paint(m_lampPage);
    Room_Paint(m_roomPage);
    Screen_Clear();
    m_state.reflectanceChoice = 0;
    m_state.capacityMode = 0;
    m_state.reserved = 0;
    m_currentFileName.clear();
    m_previousFieldName.clear();
    SPD_Paint(m_spdData);
    m_boxes.value(QStringLiteral("Txt_Gyou"))->setText(QStringLiteral("1"));
    m_boxes.value(QStringLiteral("Txt_WKougen"))->hide();
    m_boxes.value(QStringLiteral("Txt_WTousu"))->hide();
    resize(1180, 700);
}

// ---------------------------------------------------------------- building the form

void FSyoudo::buildMenus()
{
    auto action = [this](QMenu *menu, const QString &name, const QString &text, void (FSyoudo::*slot)()) {
        QAction *a = menu->addAction(text);
        a->setObjectName(name);
        if (slot)
            connect(a, &QAction::triggered, this, slot);
        return a;
    };
    auto separator = [](QMenu *menu, const QString &name) { menu->addSeparator()->setObjectName(name); };

    QMenu *file = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->menuAction()->setObjectName(QStringLiteral("Menu_File"));
    action(file, QStringLiteral("Menu_File_New"), QStringLiteral("新規作成(&N)"), &FSyoudo::Menu_File_New_Click);
    action(file, QStringLiteral("Menu_File_Open"), QStringLiteral("開く(&O)"), &FSyoudo::Menu_File_Open_Click);
    separator(file, QStringLiteral("Menu_File_sep01"));
    action(file, QStringLiteral("Menu_File_Save"), QStringLiteral("上書保存(&S)"), &FSyoudo::Menu_File_Save_Click);
    action(file, QStringLiteral("Menu_File_NSave"), QStringLiteral("名前をつけて保存(&A)"),
           &FSyoudo::Menu_File_NSave_Click);
    separator(file, QStringLiteral("Menu_File_Sep02"));
    action(file, QStringLiteral("Menu_File_Preview"), QStringLiteral("印刷プレビュー(&V)"),
           &FSyoudo::Menu_File_Preview_Click);
    action(file, QStringLiteral("Menu_File_Printout"), QStringLiteral("印刷(&P)"), &FSyoudo::Menu_File_Printout_Click);
    separator(file, QStringLiteral("Menu_File_Sep03"));
    QAction *exit = action(file, QStringLiteral("Menu_File_Exit"), QStringLiteral("終了(&X)"), nullptr);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    edit->menuAction()->setObjectName(QStringLiteral("Menu_Edit"));
    // The keystrokes go to the focused control, as if typed.
    auto sendKey = [](int key) {
        if (QWidget *w = QApplication::focusWidget()) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
            QApplication::sendEvent(w, &press);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::ControlModifier);
            QApplication::sendEvent(w, &release);
        }
    };
    QAction *copy = edit->addAction(QStringLiteral("ｺﾋﾟｰ(&C)         Ctrl+C"));
    copy->setObjectName(QStringLiteral("Menu_Edit_Copy"));
    connect(copy, &QAction::triggered, this, [sendKey] { sendKey(Qt::Key_C); });
    QAction *paste = edit->addAction(QStringLiteral("貼り付け(&P)    Ctrl+V"));
    paste->setObjectName(QStringLiteral("Menu_Edit_Paste"));
    connect(paste, &QAction::triggered, this, [sendKey] { sendKey(Qt::Key_V); });

    QMenu *option = menuBar()->addMenu(QStringLiteral("ｵﾌﾟｼｮﾝ(&O)"));
    option->menuAction()->setObjectName(QStringLiteral("Menu_Option"));
    action(option, QStringLiteral("Option_Menu_Midashi"), QStringLiteral("見出し設定"),
           &FSyoudo::Option_Menu_Midashi_Click);

    QMenu *help = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->menuAction()->setObjectName(QStringLiteral("Menu_Help"));
    action(help, QStringLiteral("Menu_Help_Zeltika"), QStringLiteral("ゼルティカとドルネアﾍﾙﾌﾟ"),
           &FSyoudo::Menu_Help_Zeltika_Click);
    separator(help, QStringLiteral("Menu_Help_Sep01"));
    action(help, QStringLiteral("Menu_Help_Version"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"),
           &FSyoudo::Menu_Help_Version_Click);
}

void FSyoudo::buildToolBar()
{
    QToolBar *bar = addToolBar(QStringLiteral("TB_Main"));
    bar->setObjectName(QStringLiteral("TB_Main"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    struct Button {
        int position;
        const char *text;
        QStyle::StandardPixmap icon;
        void (FSyoudo::*slot)();
    };
    const Button buttons[] = {
        {1, nullptr, QStyle::SP_CustomBase, nullptr},
        {2, "新規", QStyle::SP_FileIcon, &FSyoudo::Menu_File_New_Click},
        {3, "開く", QStyle::SP_DialogOpenButton, &FSyoudo::Menu_File_Open_Click},
        {4, "保存", QStyle::SP_DialogSaveButton, &FSyoudo::Menu_File_Save_Click},
        {5, nullptr, QStyle::SP_CustomBase, nullptr},
        {6, "印刷", QStyle::SP_FileDialogDetailedView, &FSyoudo::Menu_File_Printout_Click},
        {7, "ﾌﾟﾚﾋﾞｭｰ", QStyle::SP_FileDialogContentsView, &FSyoudo::Menu_File_Preview_Click},
    };
    for (const Button &b : buttons) {
        QAction *a = nullptr;
        if (!b.text) {
            a = bar->addSeparator(); // positions 1 and 5 do nothing
        } else {
            a = bar->addAction(style()->standardIcon(b.icon), QString::fromUtf8(b.text));
            connect(a, &QAction::triggered, this, b.slot);
        }
        a->setObjectName(QStringLiteral("TB_Main_%1").arg(b.position));
    }
}

QLineEdit *FSyoudo::addBox(const QString &name, int width, bool numeric)
{
    auto *box = new QLineEdit(this);
    box->setObjectName(name);
    box->setValidator(new Cp932Validator(box));
    if (width > 0)
        box->setFixedWidth(width);
    if (numeric) {
        box->setAlignment(Qt::AlignRight);
        box->setAttribute(Qt::WA_InputMethodEnabled, false); // digits only: no input method
        box->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
        box->setAcceptDrops(false); // dropped text would pass by the key filter
    }
    if (kOutputBoxes.contains(name)) {
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setStyleSheet(QStringLiteral("QLineEdit { background: #eef3f8; }"));
    }
    box->installEventFilter(this);
    m_boxes.insert(name, box);
    return box;
}

QWidget *FSyoudo::buildPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel"));
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(5);
    const int narrow = 64;
    const int wide = 280;
    int row = 0;

    // Row and floor.
    QLineEdit *gyou = addBox(QStringLiteral("Txt_Gyou"), 48);
    auto *upDown1 = new UpDownButtons(QStringLiteral("UpDown1"), this);
    QLineEdit *kai = addBox(QStringLiteral("Txt_Kai"), 64, false);
    auto *upDown2 = new UpDownButtons(QStringLiteral("UpDown2"), this);
    auto *rowLine = new QHBoxLayout;
    rowLine->addWidget(gyou);
    rowLine->addWidget(upDown1);
    rowLine->addSpacing(18);
    rowLine->addWidget(caption(QStringLiteral("階数"), this));
    rowLine->addWidget(kai);
    rowLine->addWidget(upDown2);
    rowLine->addStretch();
    grid->addWidget(caption(QStringLiteral("行№"), this), row, 0);
    grid->addLayout(rowLine, row++, 1, 1, 5);
    connect(upDown1, &UpDownButtons::downClicked, this, &FSyoudo::UpDown1_Down);
    connect(upDown1, &UpDownButtons::upClicked, this, &FSyoudo::UpDown1_Up);
    connect(upDown2, &UpDownButtons::downClicked, this, [this] { UpDown2_Step(+1); });
    connect(upDown2, &UpDownButtons::upClicked, this, [this] { UpDown2_Step(-1); });

    grid->addWidget(caption(QStringLiteral("室        名"), this), row, 0);
    grid->addWidget(addBox(QStringLiteral("Txt_Shitsu"), wide, false), row++, 1, 1, 5);
    grid->addWidget(addBox(QStringLiteral("Txt_Shitsu2"), wide, false), row++, 1, 1, 5);
    grid->addWidget(caption(QStringLiteral("照明器具種類"), this), row, 0);
    grid->addWidget(addBox(QStringLiteral("Txt_Kigu"), wide, false), row++, 1, 1, 5);

    QLineEdit *kougen = addBox(QStringLiteral("Txt_Kougen"), 0, false);
    QLineEdit *wKougen = addBox(QStringLiteral("Txt_WKougen"), 0, false);
    QLineEdit *wTousu = addBox(QStringLiteral("Txt_WTousu"), 0);
    wKougen->setPlaceholderText(QStringLiteral("光源名称"));
    wTousu->setPlaceholderText(QStringLiteral("灯/台"));
    wKougen->setStyleSheet(QStringLiteral("QLineEdit { background: #fffbe6; }"));
    wTousu->setStyleSheet(QStringLiteral("QLineEdit { background: #fffbe6; }"));
    auto *lampBox = new LampNameBox(kougen, wKougen, wTousu, this);
    lampBox->setFixedWidth(wide);
    grid->addWidget(caption(QStringLiteral("光源名称"), this), row, 0);
    grid->addWidget(lampBox, row++, 1, 1, 5);
    connect(wKougen, &QLineEdit::textChanged, this, &FSyoudo::lampEntryChanged);

    // Columns: caption, box, unit | caption, box, unit.
    auto pair = [&](int r, int col, const QString &cap, const QString &box, const QString &unitText) {
        grid->addWidget(caption(cap, this), r, col);
        grid->addWidget(addBox(box, narrow), r, col + 1);
        if (!unitText.isEmpty())
            grid->addWidget(unit(unitText, this), r, col + 2);
    };
    pair(row, 0, QStringLiteral("光  束"), QStringLiteral("Txt_Kousoku"), QStringLiteral("lm"));
    pair(row++, 3, QStringLiteral("照  度"), QStringLiteral("Txt_Syoudo1"), QStringLiteral("lx"));

    // Room size.
    auto *size = new QGroupBox(QStringLiteral("室 の 大 き さ"), this);
    auto *sg = new QGridLayout(size);
    sg->setVerticalSpacing(4);
    sg->addWidget(caption(QStringLiteral("間  口"), size), 0, 0);
    sg->addWidget(addBox(QStringLiteral("Txt_Maguchi"), narrow), 0, 1);
    sg->addWidget(unit(QStringLiteral("m"), size), 0, 2);
    sg->addWidget(caption(QStringLiteral("奥  行"), size), 0, 3);
    sg->addWidget(addBox(QStringLiteral("Txt_Okuyuki"), narrow), 0, 4);
    sg->addWidget(unit(QStringLiteral("m"), size), 0, 5);
    sg->addWidget(caption(QStringLiteral("面  積"), size), 1, 0);
    sg->addWidget(addBox(QStringLiteral("Txt_Menseki"), narrow), 1, 1);
    sg->addWidget(unit(QStringLiteral("㎡"), size), 1, 2);
    sg->addWidget(caption(QStringLiteral("高  さ"), size), 1, 3);
    sg->addWidget(addBox(QStringLiteral("Txt_Takasa"), narrow), 1, 4);
    sg->addWidget(unit(QStringLiteral("m"), size), 1, 5);
    sg->setColumnStretch(6, 1);
    grid->addWidget(size, row++, 0, 1, 6);

    pair(row, 0, QStringLiteral("作  業\n高  さ"), QStringLiteral("Txt_Stakasa"), QStringLiteral("m"));
    pair(row++, 3, QStringLiteral("器  具\n下  り"), QStringLiteral("Txt_Kudari"), QStringLiteral("m"));
    pair(row++, 0, QStringLiteral("室\n指  数"), QStringLiteral("Txt_Shisu"), QString());

    auto *refl = new QGroupBox(QStringLiteral("反射率"), this);
    auto *rg = new QHBoxLayout(refl);
    for (const auto &[cap, box] : {std::pair{"天", "Txt_Hrten"}, std::pair{"壁", "Txt_Hrkabe"},
                                   std::pair{"床", "Txt_Hryuka"}}) {
        rg->addWidget(caption(QString::fromUtf8(cap), refl));
        rg->addWidget(addBox(QString::fromLatin1(box), 44));
        rg->addWidget(unit(QStringLiteral("%"), refl));
        rg->addSpacing(10);
    }
    rg->addStretch();
    grid->addWidget(refl, row++, 0, 1, 6);

    pair(row, 0, QStringLiteral("照  率"), QStringLiteral("Txt_Syouritsu"), QString());
    pair(row++, 3, QStringLiteral("保  率"), QStringLiteral("Txt_Horitsu"), QString());

    m_chkTousu = new QCheckBox(QStringLiteral("自動"), this);
    m_chkTousu->setObjectName(QStringLiteral("Chk_Tousu"));
    m_chkDaisu = new QCheckBox(QStringLiteral("自動"), this);
    m_chkDaisu->setObjectName(QStringLiteral("Chk_Daisu"));
    for (QCheckBox *c : {m_chkTousu, m_chkDaisu}) {
        c->setFocusPolicy(Qt::ClickFocus);
        c->installEventFilter(this);
    }
    pair(row, 0, QStringLiteral("灯  数"), QStringLiteral("Txt_Tousu1"), QString());
    pair(row, 3, QStringLiteral("灯  数"), QStringLiteral("Txt_Tousu2"), QString());
    grid->addWidget(m_chkTousu, row++, 5);
    pair(row, 0, QStringLiteral("照  度"), QStringLiteral("Txt_Syoudo2"), QStringLiteral("lx"));
    pair(row, 3, QStringLiteral("台  数"), QStringLiteral("Txt_Daisu"), QString());
    grid->addWidget(m_chkDaisu, row++, 5);
    grid->addWidget(caption(QStringLiteral("備      考"), this), row, 0);
    grid->addWidget(addBox(QStringLiteral("Txt_Biko1"), narrow), row, 1);
    grid->addWidget(addBox(QStringLiteral("Txt_Biko2"), narrow), row++, 4);

    m_btnAdv = new QPushButton(QStringLiteral("確  認"), this);
    m_btnAdv->setObjectName(QStringLiteral("Btn_Adv"));
    auto *clear = new QPushButton(QStringLiteral("編集クリア"), this);
    clear->setObjectName(QStringLiteral("Btn_Clear"));
    for (QPushButton *b : {m_btnAdv, clear}) {
        b->setMinimumHeight(30);
        b->installEventFilter(this);
    }
    connect(m_btnAdv, &QPushButton::clicked, this, &FSyoudo::Btn_Adv_Click);
    connect(clear, &QPushButton::clicked, this, &FSyoudo::Btn_Clear_Click);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_btnAdv);
    buttons->addWidget(clear);
    grid->addLayout(buttons, row++, 0, 1, 6);
    grid->setRowStretch(row, 1);

    // Tab order of the panel: the order Enter walks through.
    const QStringList order = {"Txt_Gyou",    "Txt_Kai",     "Txt_Shitsu",   "Txt_Shitsu2", "Txt_Kigu",
                               "Txt_Kougen",  "Txt_WKougen", "Txt_WTousu",   "Txt_Kousoku", "Txt_Syoudo1",
                               "Txt_Maguchi", "Txt_Okuyuki", "Txt_Takasa",   "Txt_Stakasa", "Txt_Kudari",
                               "Txt_Hrten",   "Txt_Hrkabe",  "Txt_Hryuka",   "Txt_Syouritsu", "Txt_Horitsu",
                               "Txt_Tousu2",  "Txt_Daisu",   "Txt_Biko1",    "Txt_Biko2"};
    QWidget *previous = nullptr;
    for (const QString &name : order) {
        QWidget *w = m_boxes.value(name);
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }
    setTabOrder(previous, m_btnAdv);
    setTabOrder(m_btnAdv, clear);
    panel->setFixedWidth(panel->sizeHint().width());
    return panel;
}

QWidget *FSyoudo::buildTabs()
{
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("STab_Main"));
    m_tabs->tabBar()->setFocusPolicy(Qt::ClickFocus);
    m_tabs->tabBar()->installEventFilter(this);

    auto listHeadings = [](ListGrid *list) {
        list->setHorizontalHeaderLabels({QStringLiteral("階数"), QStringLiteral("室名１"), QStringLiteral("室名２"),
                                         QStringLiteral("照明器具"), QStringLiteral("光源名称")});
        list->setColumnWidth(0, 56);
        list->setColumnWidth(1, 150);
        list->setColumnWidth(2, 120);
        list->setColumnWidth(3, 170);
        list->setColumnWidth(4, 130);
        list->horizontalHeader()->setStretchLastSection(true);
    };

    // 0: the room list.
    m_spdData = new ListGrid(QStringLiteral("SPD_Data"), RoomRecord::kRooms, 5, this);
    listHeadings(m_spdData);
    m_spdData->installEventFilter(this);
    connect(m_spdData, &ListGrid::keyReleased, this, [this] { roomListReleased(); });
    connect(m_spdData, &ListGrid::mouseReleased, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, QPoint position) {
                roomListReleased();
                if (button == Qt::RightButton)
                    showRowMenu(position);
            });
    m_tabs->addTab(m_spdData, QString::fromUtf8(kTabCaptions[0]));

    // 1-3: the master pick lists with their page buttons.
    auto pickTab = [this](const QString &gridName, const QString &pageName, int columnWidth, ListGrid **out) {
        auto *page = new QWidget(this);
        auto *grid = new ListGrid(gridName, PickLists::kRows, PickLists::kColumns, page);
        grid->setSelectionMode(QAbstractItemView::NoSelection);
        grid->installEventFilter(this);
        grid->setAlternatingRowColors(false);
        grid->horizontalHeader()->hide();
        grid->verticalHeader()->hide();
        (void)columnWidth;
        grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        grid->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setShowGrid(true);
        auto *pager = new UpDownButtons(pageName, page);
        auto *layout = new QHBoxLayout(page);
        layout->addWidget(grid, 1);
        auto *side = new QVBoxLayout;
        side->addWidget(new QLabel(QStringLiteral("頁"), page));
        side->addWidget(pager);
        side->addStretch();
        layout->addLayout(side);
        *out = grid;
        return std::pair{page, pager};
    };
    auto [roomPage, udRoom] = pickTab(QStringLiteral("Spd_Room"), QStringLiteral("UD_Room"), 160, &m_spdRoom);
    auto [lumPage, udLum] = pickTab(QStringLiteral("Spd_Syoumei"), QStringLiteral("UD_Syoumei"), 190, &m_spdSyoumei);
    auto [lampPage, udLamp] = pickTab(QStringLiteral("Spd_Kougen"), QStringLiteral("UD_Kougen"), 140, &m_spdKougen);
    m_tabs->addTab(roomPage, QString::fromUtf8(kTabCaptions[1]));
    m_tabs->addTab(lumPage, QString::fromUtf8(kTabCaptions[2]));
    m_tabs->addTab(lampPage, QString::fromUtf8(kTabCaptions[3]));
    for (UpDownButtons *ud : {udRoom, udLum, udLamp}) {
        const auto paint = [this, ud] {
            if (ud->objectName() == u"UD_Room")
                Room_Paint(m_roomPage);
            else if (ud->objectName() == u"UD_Syoumei")
                Syoumei_Paint(m_luminairePage);
            else
                Kougen_Paint(m_lampPage);
        };
        connect(ud, &UpDownButtons::upClicked, this, paint);
        connect(ud, &UpDownButtons::downClicked, this, paint);
    }
    connect(m_spdRoom, &QTableWidget::cellClicked, this, [this](int r, int c) { pickRoom(c + 1, r + 1); });
    connect(m_spdSyoumei, &QTableWidget::cellClicked, this, [this](int r, int c) { pickLuminaire(c + 1, r + 1); });
    connect(m_spdKougen, &QTableWidget::cellClicked, this, [this](int r, int c) { pickLamp(c + 1, r + 1); });

    // 4: reflectance patterns.
    auto *refl = new QWidget(this);
    auto *rl = new QGridLayout(refl);
    rl->addWidget(new QLabel(QStringLiteral("天"), refl), 0, 1, Qt::AlignCenter);
    rl->addWidget(new QLabel(QStringLiteral("壁"), refl), 0, 2, Qt::AlignCenter);
    rl->addWidget(new QLabel(QStringLiteral("床"), refl), 0, 3, Qt::AlignCenter);
    const char *const good[] = {"良", "中", "悪"};
    for (int i = 0; i < 3; ++i) {
        auto *b = new QPushButton(QString::fromUtf8(good[i]), refl);
        b->setObjectName(QStringLiteral("Btn_Hansya_%1").arg(i));
        b->setFixedWidth(64);
        b->installEventFilter(this);
        connect(b, &QPushButton::clicked, this, [this, i] { Btn_Hansya_Click(i); });
        rl->addWidget(b, i + 1, 0);
        const RoomSheet::Reflectance p = RoomSheet::reflectancePattern(i + 1);
        int col = 1;
        for (int v : {p.ceiling, p.wall, p.floor}) {
            auto *cell = new QLabel(QStringLiteral("%1 %").arg(v), refl);
            cell->setAlignment(Qt::AlignCenter);
            cell->setFrameShape(QFrame::StyledPanel);
            cell->setMinimumWidth(64);
            rl->addWidget(cell, i + 1, col++);
        }
    }
    rl->setColumnStretch(4, 1);
    rl->setRowStretch(4, 1);
    m_tabs->addTab(refl, QString::fromUtf8(kTabCaptions[4]));

    // 5: maintenance-factor choices of the picked luminaire.
    auto *maint = new QWidget(this);
    auto *ml = new QGridLayout(maint);
    for (int i = 0; i < 3; ++i) {
        auto *b = new QPushButton(QString::fromUtf8(good[i]), maint);
        b->setObjectName(QStringLiteral("Btn_Hosyu_%1").arg(i));
        b->setFixedWidth(64);
        b->installEventFilter(this);
        connect(b, &QPushButton::clicked, this, [this, i] { Btn_Hosyu_Click(i); });
        m_lblHosyu[i] = new QLabel(maint);
        m_lblHosyu[i]->setObjectName(QStringLiteral("Lbl_Hosyu_%1").arg(i));
        m_lblHosyu[i]->setFrameShape(QFrame::StyledPanel);
        m_lblHosyu[i]->setMinimumWidth(64);
        m_lblHosyu[i]->setAlignment(Qt::AlignCenter);
        ml->addWidget(b, i, 0);
        ml->addWidget(m_lblHosyu[i], i, 1);
    }
    ml->setColumnStretch(2, 1);
    ml->setRowStretch(3, 1);
    m_tabs->addTab(maint, QString::fromUtf8(kTabCaptions[5]));

    // 6: capacity modes.
    auto *cap = new QWidget(this);
    auto *cl = new QVBoxLayout(cap);
    const char *const modes[] = {"自動計算", "手動計算", "計算しない"};
    for (int i = 0; i < 3; ++i) {
        auto *b = new QPushButton(QString::fromUtf8(modes[i]), cap);
        b->setObjectName(QStringLiteral("Btn_Youryou_%1").arg(i));
        b->setFixedWidth(120);
        b->installEventFilter(this);
        connect(b, &QPushButton::clicked, this, [this, i] { Btn_Youryou_Click(i); });
        cl->addWidget(b);
    }
    cl->addStretch();
    m_tabs->addTab(cap, QString::fromUtf8(kTabCaptions[6]));

    // 7: total capacity over the selected rooms.
    auto *total = new QWidget(this);
    auto *tl = new QVBoxLayout(total);
    m_spdSentaku = new ListGrid(QStringLiteral("Spd_Sentaku"), RoomRecord::kRooms, 5, total);
    listHeadings(m_spdSentaku);
    m_spdSentaku->setSelectionMode(QAbstractItemView::MultiSelection);
    m_spdSentaku->installEventFilter(this);
    auto *ok = new QPushButton(QStringLiteral("OK"), total);
    ok->setObjectName(QStringLiteral("Btn_KeisanAdv"));
    ok->setFixedWidth(96);
    ok->installEventFilter(this);
    connect(ok, &QPushButton::clicked, this, &FSyoudo::Btn_KeisanAdv_Click);
    tl->addWidget(m_spdSentaku, 1);
    tl->addWidget(ok, 0, Qt::AlignRight);
    m_tabs->addTab(total, QString::fromUtf8(kTabCaptions[7]));
    return m_tabs;
}

// ---------------------------------------------------------------- the panel by name

QString FSyoudo::text(const QString &name) const
{
    if (QLineEdit *box = m_boxes.value(name))
        return box->text();
    if (name == u"Chk_Tousu")
        return m_chkTousu->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (name == u"Chk_Daisu")
        return m_chkDaisu->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    for (QLabel *label : m_lblHosyu)
        if (label->objectName() == name)
            return label->text();
    return QString();
}

void FSyoudo::setText(const QString &name, const QString &text)
{
    if (QLineEdit *box = m_boxes.value(name)) {
        if (box->text() != text)
            box->setText(text);
        return;
    }
    if (name == u"Chk_Tousu") {
        m_chkTousu->setChecked(text == u"1");
        return;
    }
    if (name == u"Chk_Daisu") {
        m_chkDaisu->setChecked(text == u"1");
        return;
    }
    for (QLabel *label : m_lblHosyu)
        if (label->objectName() == name)
            label->setText(text);
}

void FSyoudo::focus(const QString &name)
{
    QWidget *w = m_boxes.value(name);
    if (!w) {
        if (name == u"Btn_Adv")
            w = m_btnAdv;
        else
            return; // a control array member or no control at all: nothing to focus
    }
    w->setFocus(Qt::OtherFocusReason);
    if (auto *box = qobject_cast<QLineEdit *>(w))
        box->selectAll();
}

void FSyoudo::setVisible(const QString &name, bool visible)
{
    if (QLineEdit *box = m_boxes.value(name))
        box->setVisible(visible);
}

void FSyoudo::setEnabled(const QString &name, bool enabled)
{
    if (QLineEdit *box = m_boxes.value(name))
        box->setEnabled(enabled);
}

QString FSyoudo::focusedControlName() const
{
    QWidget *w = QApplication::focusWidget();
    return w ? w->objectName() : QString();
}

int FSyoudo::rowNumber() const
{
    return NumberText::toInt(m_boxes.value(QStringLiteral("Txt_Gyou"))->text());
}

int FSyoudo::Data_calculation(const QString &fieldName)
{
    return IlluminanceCalculation::Data_calculation(*this, m_state, m_masters, fieldName);
}

// ---------------------------------------------------------------- records, lists and the panel

void FSyoudo::Record_Clear()
{
    RoomSheet::Record_Clear(m_recData->grid);
}

void FSyoudo::Data_List_Clear()
{
    m_spdData->clearTexts();
}

void FSyoudo::Sentaku_List_Clear()
{
    m_spdSentaku->setUpdatesEnabled(false);
    m_spdSentaku->clearTexts();
    m_spdSentaku->clearSelection();
    m_spdSentaku->setUpdatesEnabled(true);
}

void FSyoudo::SPD_Paint(ListGrid *list)
{
    using namespace RoomRecord;
    const RecordGrid &g = m_recData->grid;
    list->setUpdatesEnabled(false);
    for (int r = 1; r <= kRooms; ++r) {
        // A free row shows blank, so a room deleted by a commit leaves the list at once.
        const bool inUse = g.text(r, InUse) == u"1";
        const int columns[] = {Floor, RoomName1, RoomName2, LuminaireType, LampName};
        for (int c = 0; c < 5; ++c)
            list->setCellText(r, c + 1, inUse ? g.text(r, columns[c]) : QString());
    }
    list->setUpdatesEnabled(true);
}

void FSyoudo::Set_Spdtop(ListGrid *list)
{
    list->scrollToTopLeft();
}

void FSyoudo::Set_Spd_Sentaku()
{
    const int tab = m_tabs->currentIndex();
    if (tab == 0) {
        SPD_Paint(m_spdData);
    } else if (tab == 6) {
        const int row = rowNumber();
        const QString boxes[] = {QStringLiteral("Txt_Kai"), QStringLiteral("Txt_Shitsu"),
                                 QStringLiteral("Txt_Shitsu2"), QStringLiteral("Txt_Kigu"),
                                 QStringLiteral("Txt_Kougen")};
        for (int c = 0; c < 5; ++c)
            m_spdSentaku->setCellText(row, c + 1, text(boxes[c]));
    }
    m_spdSentaku->viewport()->update();
}

void FSyoudo::Screen_Set(int row)
{
    RoomSheet::Screen_Set(m_recData->grid, row, *this, m_state);
}

void FSyoudo::Screen_Clear()
{
    RoomSheet::Screen_Clear(*this, m_state);
}

void FSyoudo::Line_Add()
{
    RoomSheet::Line_Add(m_recData->grid, m_spdData->activeRow());
    Data_List_Clear();
    SPD_Paint(m_spdData);
    Sentaku_List_Clear();
    SPD_Paint(m_spdSentaku);
}

void FSyoudo::Line_Delete()
{
    RoomSheet::Line_Delete(m_recData->grid, m_spdData->activeRow());
    Data_List_Clear();
    SPD_Paint(m_spdData);
    Sentaku_List_Clear();
    SPD_Paint(m_spdSentaku);
}

void FSyoudo::Btn_Adv_Click()
{
    const int r = rowNumber();
    RoomSheet::commit(m_recData->grid, r, *this, m_state);
    if (r >= RoomRecord::kRooms)
        setText(QStringLiteral("Txt_Gyou"), QStringLiteral("220"));
    else
        UpDown1_Down();
    SPD_Paint(m_spdData);
    m_boxes.value(QStringLiteral("Txt_Gyou"))->setFocus(Qt::OtherFocusReason);
}

void FSyoudo::Btn_Clear_Click()
{
    Screen_Clear();
    m_boxes.value(QStringLiteral("Txt_Gyou"))->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------- row navigation

void FSyoudo::navigateToRow(int row)
{
    Screen_Set(row);
    m_spdData->setActiveCell(row, 1);
    m_spdSentaku->clearSelection();
}

void FSyoudo::rowFieldLeft()
{
    const double value = NumberText::leading(text(QStringLiteral("Txt_Gyou")));
    if (!(value > 0) || value >= 221) {
        // Back to the row field once the focus change under way has ended.
        m_rowFieldInvalid = true;
        QTimer::singleShot(0, this, [this] {
            if (QLineEdit *gyou = m_boxes.value(QStringLiteral("Txt_Gyou")))
                gyou->setFocus(Qt::OtherFocusReason);
            m_rowFieldInvalid = false;
        });
        return;
    }
    navigateToRow(int(value));
}

void FSyoudo::UpDown1_Down()
{
    const int row = rowNumber();
    if (row < RoomRecord::kRooms)
        setText(QStringLiteral("Txt_Gyou"), QString::number(row + 1));
    rowFieldLeft();
}

void FSyoudo::UpDown1_Up()
{
    const int row = rowNumber();
    if (row > 1)
        setText(QStringLiteral("Txt_Gyou"), QString::number(row - 1));
    rowFieldLeft();
}

void FSyoudo::UpDown2_Step(int delta)
{
    const QString floor = text(QStringLiteral("Txt_Kai"));
    const auto value = NumberText::strict(floor);
    if (floor.isEmpty() || !value)
        return;
    if (delta > 0 && *value < 9999)
        setText(QStringLiteral("Txt_Kai"), NumberText::plain(*value + 1));
    else if (delta < 0 && *value > 1)
        setText(QStringLiteral("Txt_Kai"), NumberText::plain(*value - 1));
}

void FSyoudo::roomListReleased()
{
    const int row = m_spdData->activeRow();
    if (row < 1)
        return;
    setText(QStringLiteral("Txt_Gyou"), QString::number(row));
    Screen_Set(row);
}

void FSyoudo::showRowMenu(QPoint position)
{
    if (m_rowMenu)
        m_rowMenu->close();
    auto *menu = new FSyoudoRMenu(this);
    connect(menu, &FSyoudoRMenu::insertRequested, this, &FSyoudo::Line_Add);
    connect(menu, &FSyoudoRMenu::deleteRequested, this, &FSyoudo::Line_Delete);
    menu->move(m_spdData->viewport()->mapToGlobal(position));
    menu->show();
    m_rowMenu = menu;
}

// ---------------------------------------------------------------- pick lists

// Paints one page of a pick list and advances its page variable.
static void paintPickList(ListGrid *list, const MasterTables &masters, int &page,
                          QString (*cellText)(const MasterTables &, int))
{
    for (int r = 1; r <= PickLists::kRows; ++r)
        for (int c = 1; c <= PickLists::kColumns; ++c)
            list->setCellText(r, c, cellText(masters, PickLists::slotAt(page, c, r)));
    page = PickLists::nextPage(page);
}

void FSyoudo::Kougen_Paint(int &page)
{
    paintPickList(m_spdKougen, m_masters, page, &PickLists::lampCellText);
}

void FSyoudo::Syoumei_Paint(int &page)
{
    paintPickList(m_spdSyoumei, m_masters, page, &PickLists::luminaireCellText);
}

void FSyoudo::Room_Paint(int &page)
{
    paintPickList(m_spdRoom, m_masters, page, &PickLists::roomCellText);
}

void FSyoudo::pickLamp(int column, int row)
{
    if (m_rowFieldInvalid)
        return;
    const int number = PickLists::pickedNumber(m_spdKougen->cellText(row, column));
    if (number == 0)
        return;
    m_state.lampIndex = number;
    const QString name = FixedField::trimmedRight(m_masters.lamp(number).name);
    setText(QStringLiteral("Txt_WKougen"), name);
    setText(QStringLiteral("Txt_Kougen"), name);
    m_boxes.value(QStringLiteral("Txt_WKougen"))->hide();
    m_boxes.value(QStringLiteral("Txt_WTousu"))->show();
    m_boxes.value(QStringLiteral("Txt_Kousoku"))->setEnabled(false);
    m_boxes.value(QStringLiteral("Txt_WTousu"))->setFocus(Qt::OtherFocusReason);
}

void FSyoudo::pickLuminaire(int column, int row)
{
    if (m_rowFieldInvalid)
        return;
    const int number = PickLists::pickedNumber(m_spdSyoumei->cellText(row, column));
    if (number != 0) {
        m_state.luminaireIndex = number;
        setText(QStringLiteral("Txt_Kigu"), FixedField::trimmedRight(m_masters.luminaire(number).name));
        m_boxes.value(QStringLiteral("Txt_Kougen"))->setFocus(Qt::OtherFocusReason);
    }
    Data_calculation(m_previousFieldName);
}

void FSyoudo::pickRoom(int column, int row)
{
    if (m_rowFieldInvalid)
        return;
    const QString name = m_spdRoom->cellText(row, column);
    if (name.isEmpty())
        return;
    setText(QStringLiteral("Txt_Shitsu"), name);
    m_boxes.value(QStringLiteral("Txt_Shitsu2"))->setFocus(Qt::OtherFocusReason);
}

void FSyoudo::lampEntryChanged(const QString &entry)
{
    if (m_state.lampIndex != 0 && entry != FixedField::trimmedRight(m_masters.lamp(m_state.lampIndex).name))
        m_state.lampIndex = 0;
}

// ---------------------------------------------------------------- pickers (tabs 4 to 7)

void FSyoudo::Btn_Hansya_Click(int index)
{
    const RoomSheet::Reflectance p = RoomSheet::reflectancePattern(index + 1);
    setText(QStringLiteral("Txt_Hrten"), QString::number(p.ceiling));
    setText(QStringLiteral("Txt_Hrkabe"), QString::number(p.wall));
    setText(QStringLiteral("Txt_Hryuka"), QString::number(p.floor));
    m_state.reflectanceChoice = index + 1;
    if (m_state.luminaireIndex != 0) {
        Data_calculation(focusedControlName());
        focus(QStringLiteral("Txt_Horitsu"));
    } else {
        focus(QStringLiteral("Txt_Syouritsu"));
    }
}

void FSyoudo::Btn_Hosyu_Click(int index)
{
    setText(QStringLiteral("Txt_Horitsu"), m_lblHosyu[index]->text());
    m_state.maintenanceChoice = index;
    Data_calculation(focusedControlName());
    focus(QStringLiteral("Txt_Tousu2"));
}

void FSyoudo::Btn_Youryou_Click(int index)
{
    focus(RoomSheet::Btn_Youryou_Click(index, *this, m_state, m_masters));
}

void FSyoudo::Btn_KeisanAdv_Click()
{
    RoomSheet::addTotalCapacity(m_recData->grid, m_spdSentaku->selectedRowNumbers(), rowNumber(), *this);
    m_spdSentaku->clearSelection();
    Dialogs::inform(this, QStringLiteral("合計容量計算を実行しました。"));
    focus(QStringLiteral("Btn_Adv"));
}

// ---------------------------------------------------------------- work file

void FSyoudo::Menu_File_New_Click()
{
    if (RoomSheet::anyRoomInUse(m_recData->grid) && !Dialogs::ask(this, QStringLiteral("現在編集中のデータを破棄しますか？")))
        return;
    Record_Clear();
    Data_List_Clear();
    Sentaku_List_Clear();
    Screen_Clear();
    Set_Spdtop(m_spdData);
    Set_Spdtop(m_spdSentaku);
    setText(QStringLiteral("Txt_Gyou"), QStringLiteral("1"));
    m_currentFileName.clear();
    m_boxes.value(QStringLiteral("Txt_Gyou"))->setFocus(Qt::OtherFocusReason);
}

void FSyoudo::Menu_File_Open_Click()
{
    const QString path = Dialogs::instance().openFile(this, QStringLiteral("*.syw"), QStringLiteral("照度 (*.syw)|*.syw"), 1);
    if (path.isEmpty())
        return; // cancelled: nothing changes
    m_dialogFileName = path;
    WorkFile::Error error = WorkFile::Error::None;
    if (WorkFile::load(m_recData->grid, path, &error))
        m_currentFileName = path;
    else
        Dialogs::inform(this, QStringLiteral("データの読込に失敗しました。"),
                        QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path), WorkFile::errorText(error)));
    Screen_Clear();
    setText(QStringLiteral("Txt_Gyou"), QStringLiteral("1"));
    Data_List_Clear();
    Sentaku_List_Clear();
    SPD_Paint(m_spdData);
    SPD_Paint(m_spdSentaku);
    Set_Spdtop(m_spdData);
    Set_Spdtop(m_spdSentaku);
    UpDown1_Up();
}

void FSyoudo::Menu_File_Save_Click()
{
    if (m_currentFileName.isEmpty()) {
        Menu_File_NSave_Click();
        return;
    }
    QString reason;
    if (!WorkFile::save(m_recData->grid, m_currentFileName, nullptr, &reason))
        Dialogs::inform(this, QStringLiteral("データを保存できませんでした。"), reason);
}

void FSyoudo::Menu_File_NSave_Click()
{
    const QString path = Dialogs::instance().saveFile(this, QStringLiteral("*.syw"), QStringLiteral("照度(*.syw)|*.syw"), 1);
    if (path.isEmpty())
        return;
    m_dialogFileName = path;
    QString reason;
    if (WorkFile::save(m_recData->grid, path, nullptr, &reason))
        m_currentFileName = path;
    else
        Dialogs::inform(this, QStringLiteral("データを保存できませんでした。"), reason);
}

int FSyoudo::Make_Print_File()
{
    QString error;
    m_printRows.clear();
    const int rows = IlluminancePrintTable::build(m_recData->grid,
                                                  SettingsStore::ReadSetting(QStringLiteral("CompanyName")),
                                                  m_dialogFileName, workDatabasePath(), &error, &m_printRows);
    if (rows == 0) {
        Dialogs::inform(this, QStringLiteral("データがありません。"));
        return 0;
    }
    if (rows < 0) {
        Dialogs::instance().message(this, error, Dialogs::kTitle, Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return 0;
    }
    return rows;
}

void FSyoudo::Menu_File_Preview_Click()
{
    showReport(&ReportOutput::preview);
}

void FSyoudo::Menu_File_Printout_Click()
{
    showReport(&ReportOutput::print);
}

void FSyoudo::showReport(void (*output)(QWidget *, const BandedReport &, const QList<QSqlRecord> &, const QString &))
{
    if (Make_Print_File() == 0)
        return;
    output(this, RptSyoudo::definition(), m_printRows, QStringLiteral("照度計算書"));
}

void FSyoudo::Option_Menu_Midashi_Click()
{
    FMidashi dialog(m_recData->grid, m_today.isValid() ? m_today : QDate::currentDate(), this);
    dialog.exec();
}

void FSyoudo::Menu_Help_Zeltika_Click()
{
    const QString help = m_helpFile.isEmpty()
                             ? QDir(QApplication::applicationDirPath()).filePath(QStringLiteral("prx5m.hlp"))
                             : m_helpFile;
    if (!HelpWindow::show(this, help))
        Dialogs::inform(this, QStringLiteral("ヘルプファイルを開けません。\n%1").arg(QDir::toNativeSeparators(help)));
}

void FSyoudo::Menu_Help_Version_Click()
{
    FTitle box(this);
    box.exec();
}

// ---------------------------------------------------------------- entry and leaving rules, keys

void FSyoudo::setTab(int index)
{
    m_tabs->setCurrentIndex(index);
}

void FSyoudo::commonEntry(const QString &name, int tab)
{
    Data_calculation(m_previousFieldName);
    setTab(tab);
    if (QLineEdit *box = m_boxes.value(name))
        box->selectAll();
    m_previousFieldName = focusedControlName();
}

void FSyoudo::entryRule(const QString &name, Qt::FocusReason reason)
{
    QLineEdit *box = m_boxes.value(name);
    if (name == u"Txt_Gyou") {
        setTab(0);
        box->selectAll();
        return;
    }
    if (name == u"Txt_Kai") {
        Data_calculation(m_previousFieldName);
        setTab(0);
        box->selectAll();
        return;
    }
    if (name == u"Txt_Kougen") {
        // Going backwards through the lamp name leads on to the field before it, not round again.
        if (reason == Qt::BacktabFocusReason) {
            focusPreviousChild();
            return;
        }
        QLineEdit *entry = m_boxes.value(QStringLiteral("Txt_WKougen"));
        entry->show();
        entry->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (kCommonEntryTabs.contains(name)) {
        commonEntry(name, kCommonEntryTabs.value(name));
        return;
    }
    const auto late = kLateEntryTabs.constFind(name);
    if (late != kLateEntryTabs.constEnd()) {
        Data_calculation(m_previousFieldName);
        if (name == u"Txt_Kigu" || name == u"Txt_WKougen")
            setTab(0);
        box->selectAll();
        m_previousFieldName = focusedControlName();
        setTab(*late);
        return;
    }
    if (name == u"Txt_Horitsu") {
        Data_calculation(m_previousFieldName);
        box->selectAll();
        if (m_state.luminaireIndex != 0) {
            const LuminaireRecord &lum = m_masters.luminaire(m_state.luminaireIndex);
            for (int i = 0; i < 3; ++i)
                m_lblHosyu[i]->setText(lum.maintenanceFactor(i + 1));
            setTab(5);
        }
        m_previousFieldName = focusedControlName();
        return;
    }
    if (name == u"Txt_Biko2") {
        Data_calculation(m_previousFieldName);
        setTab(7);
        Set_Spd_Sentaku();
        box->selectAll();
        m_previousFieldName = focusedControlName();
    }
}

void FSyoudo::leavingRule(const QString &name)
{
    if (name == u"Txt_Gyou") {
        rowFieldLeft();
        return;
    }
    if (name == u"Txt_WKougen") {
        setText(QStringLiteral("Txt_Kougen"), text(name));
        m_boxes.value(QStringLiteral("Txt_Kousoku"))->setEnabled(m_state.lampIndex == 0);
        return;
    }
    const auto pattern = kLeavingPatterns.constFind(name);
    if (pattern != kLeavingPatterns.constEnd())
        setText(name, NumberText::format(NumberText::leading(text(name)), *pattern));
}

bool FSyoudo::handleKey(QObject *watched, QKeyEvent *event)
{
    const QString name = watched->objectName();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (name == u"Txt_WKougen") {
            QLineEdit *perFitting = m_boxes.value(QStringLiteral("Txt_WTousu"));
            perFitting->show();
            perFitting->setFocus(Qt::TabFocusReason);
            m_boxes.value(name)->hide();
            return true;
        }
        if (auto *button = qobject_cast<QPushButton *>(watched)) {
            button->click(); // Enter on a button presses it
            return true;
        }
        focusNextChild();
        return true;
    }
    if (kFreeTextBoxes.contains(name))
        return false;
    // Everything else takes digits, backspace, space and the full stop; keys that type nothing
    // (arrows, function keys, Ctrl combinations) pass.
    const QString typed = event->text();
    if (typed.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    const QChar c = typed.at(0);
    if (!c.isPrint() && c != QChar(8))
        return false;
    const bool allowed = (c >= u'0' && c <= u'9') || c == QChar(8) || c == u' ' || c == u'.';
    return !allowed;
}

bool FSyoudo::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return handleKey(watched, static_cast<QKeyEvent *>(event));
    case QEvent::FocusIn: {
        // A menu or another window taking the focus for a while is no move between fields.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
            return false;
        if (watched == m_tabs->tabBar()) {
            Set_Spd_Sentaku();
            return false;
        }
        const QString name = watched->objectName();
        if (name == u"Txt_Gyou")
            m_rowFieldInvalid = false;
        // While an invalid row number pulls the focus back, no other field's rules run.
        if (!m_boxes.contains(name) || m_entryDepth > 8 || m_rowFieldInvalid)
            return false;
        // Let the box take the focus first, then run its entry rule (which may move the focus on).
        watched->event(event);
        ++m_entryDepth;
        entryRule(name, static_cast<QFocusEvent *>(event)->reason());
        --m_entryDepth;
        return true;
    }
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
            return false;
        const QString name = watched->objectName();
        if (!m_boxes.contains(name) || (m_rowFieldInvalid && name != u"Txt_Gyou"))
            return false;
        watched->event(event);
        leavingRule(name);
        return true;
    }
    default:
        return false;
    }
}
