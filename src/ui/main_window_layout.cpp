// Builds the main window's controls at their places (in twips) and its menus.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>

#include "ui/config_cell_view.h"
#include "ui/dialog_support.h"
#include "ui/main_window_controls.h"
#include "ui/memory_table.h"
#include "ui/theme_paint.h"
#include "ui/twips.h"
#include "ui/ui_fonts.h"

namespace quillon {

namespace {

const QString kOpenFileTip = QStringLiteral("Click to open HEX file!");
const QString kModelTip = QStringLiteral("Click to change microcontroller model!");
const QString kTableTip = QStringLiteral("Right click on the location to edit its value!");

constexpr int kClientWidth = 7095;
constexpr int kClientHeight = 6435;

// Configuration grid: seven cells a row, 420 twips apart from the left edge 4080.
constexpr int kConfigLeft = 4080;
constexpr int kConfigPitch = 420;
constexpr int kConfigCaptionTop[2] = {4260, 4860};
constexpr int kConfigValueTop[2] = {4560, 5160};
constexpr const char* kConfigCaptions[kConfigCells] = {"1L", "1H", "2L", "2H", "3L", "3H", "4L",
                                                       "4H", "5L", "5H", "6L", "6H", "7L", "7H"};

QLabel* make_label(QWidget* parent, const QString& name, const QString& caption, const QRect& where,
                   const QString& tip = {}) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(where);
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setLineWidth(1);
    label->setAlignment(Qt::AlignCenter);
    label->setToolTip(tip);
    return label;
}

QScrollBar* make_scroll(QWidget* parent, const QString& name, const QRect& where) {
    auto* scroll = new QScrollBar(Qt::Vertical, parent);
    scroll->setObjectName(name);
    scroll->setGeometry(where);
    scroll->setRange(0, 0);
    scroll->setSingleStep(1);
    scroll->setPageStep(8);
    scroll->setFocusPolicy(Qt::StrongFocus);
    keep_native_colors(*scroll);
    return scroll;
}

MemoryTable* make_table(QWidget* parent, const QString& name, TableShape shape, const QRect& where) {
    auto* table = new MemoryTable(shape, parent);
    table->setObjectName(name);
    table->setGeometry(where);
    table->setToolTip(kTableTip);
    return table;
}

}  // namespace

void MainWindow::build_controls() {
    Controls& ui = *ui_;
    ui.central = new QWidget(this);
    ui.central->setObjectName(QStringLiteral("client"));
    setCentralWidget(ui.central);
    QWidget* c = ui.central;
    const Twips tw = Twips::for_widget(*this);
    c->setFixedSize(tw.px(kClientWidth), tw.px(kClientHeight));

    ui.label7 = make_label(c, QStringLiteral("Label7"), QStringLiteral("Loaded HEX File"),
                           tw.rect(60, 60, 1755, 255), kOpenFileTip);
    ui.label_hex = make_label(c, QStringLiteral("label_hex"), {}, tw.rect(60, 360, 6075, 255), kOpenFileTip);

    const std::array<const char*, 5> captions = {"Program All", "Read All", "Erase All", "Blank Check",
                                                 "Verify"};
    const std::array<QRect, 5> places = {tw.rect(60, 720, 1155, 315), tw.rect(1260, 720, 1095, 315),
                                         tw.rect(2400, 720, 1095, 315), tw.rect(3540, 720, 1155, 315),
                                         tw.rect(4740, 720, 1095, 315)};
    const std::array<const char*, 5> names = {"Command1", "Command2", "Command3", "Command4", "Command5"};
    for (std::size_t i = 0; i < ui.command.size(); ++i)
        ui.command[i] = make_button(c, names[i], QString::fromLatin1(captions[i]), places[i]);
    // In the row of the five, where the buttons leave room.
    ui.command_stop = make_button(c, "Command6", QStringLiteral("Stop"), tw.rect(5940, 720, 1095, 315));
    ui.command_stop->setToolTip(QStringLiteral("Stop the running operation (Esc)"));
    ui.command_stop->setEnabled(false);

    ui.label1 = make_label(c, QStringLiteral("Label1"), QStringLiteral("Microcontroller Model"),
                           tw.rect(60, 1140, 2055, 255), kModelTip);
    ui.label_ime = make_label(c, QStringLiteral("label_ime"), {}, tw.rect(2160, 1140, 2535, 255), kModelTip);
    ui.label_info = make_label(c, QStringLiteral("label_info"), {}, tw.rect(60, 1440, 4635, 255), kModelTip);

    ui.label3 =
        make_label(c, QStringLiteral("Label3"), QStringLiteral("FLASH Memory"), tw.rect(60, 1800, 1575, 255));
    ui.tabla_flash = make_table(c, QStringLiteral("tabla_flash"), kFlashShape, tw.rect(60, 2100, 6735, 1755));
    ui.scrl1 = make_scroll(c, QStringLiteral("scrl1"), tw.rect(6780, 2100, 255, 1755));

    ui.label4 = make_label(c, QStringLiteral("Label4"), QStringLiteral("EEPROM Memory"),
                           tw.rect(60, 3960, 1575, 255));
    ui.tabla_eeprom =
        make_table(c, QStringLiteral("tabla_eeprom"), kEepromShape, tw.rect(60, 4260, 3615, 1755));
    ui.scrl2 = make_scroll(c, QStringLiteral("scrl2"), tw.rect(3660, 4260, 255, 1755));

    ui.lfix[14] = make_label(c, QStringLiteral("lfix_14"), QStringLiteral("Configuration Bytes"),
                             tw.rect(4080, 3960, 1755, 255));
    for (int i = 0; i < kConfigCells; ++i) {
        const int row = i / 7;
        const int left = kConfigLeft + kConfigPitch * (i % 7);
        const auto at = static_cast<std::size_t>(i);
        ui.lfix[at] = make_label(c, QStringLiteral("lfix_%1").arg(i), QString::fromLatin1(kConfigCaptions[i]),
                                 tw.rect(left, kConfigCaptionTop[row], 375, 255));
        ui.label_conf[at] =
            make_label(c, QStringLiteral("label_conf_%1").arg(i), {},
                       tw.rect(left, kConfigValueTop[row], 375, 255), QString::fromLatin1(kConfigTip));
        ui.label_conf[at]->setFont(table_font());
    }

    ui.label5 =
        make_label(c, QStringLiteral("Label5"), QStringLiteral("Status"), tw.rect(5280, 5820, 1755, 255));
    ui.label_status = make_label(c, QStringLiteral("label_status"), {}, tw.rect(60, 6120, 6975, 255));
    // Beside the status line, which gives it its right half while a run goes on.
    ui.progress = new QProgressBar(c);
    ui.progress->setObjectName(QStringLiteral("progress_run"));
    ui.progress->setGeometry(tw.rect(kProgressLeft, 6120, 7035 - kProgressLeft, 255));
    ui.progress->setRange(0, 100);
    ui.progress->setAlignment(Qt::AlignCenter);
    keep_native_colors(*ui.progress);
    ui.progress->hide();

    ui.unosbox = new QLineEdit(c);
    ui.unosbox->setObjectName(QStringLiteral("unosbox"));
    ui.unosbox->setGeometry(tw.rect(1740, 3960, 375, 255));
    ui.unosbox->setFont(table_font());
    ui.unosbox->setFrame(false);
    ui.unosbox->setAlignment(Qt::AlignCenter);
    paint_white_field(*ui.unosbox);
    ui.unosbox->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid black; padding: 0px; }"));
    ui.unosbox->hide();

    ui.tabla_flash->fit_rows();
    ui.tabla_eeprom->fit_rows();
}

void MainWindow::build_menus() {
    Controls& ui = *ui_;
    QMenuBar* bar = menuBar();
    auto add_menu = [&](std::size_t index, const char* name, const QString& caption) {
        QMenu* menu = bar->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        ui.menus[index] = menu;
        return menu;
    };
    auto add_item = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };

    QMenu* file = add_menu(0, "menu1", QStringLiteral("&File"));
    ui.menuclear = add_item(file, "menuclear", QStringLiteral("&Clear Buffer"));
    ui.menuopen = add_item(file, "menuopen", QStringLiteral("&Open HEX File"));
    ui.menusave = add_item(file, "menusave", QStringLiteral("&Save Buffer As"));

    QMenu* tools = add_menu(1, "menu3", QStringLiteral("&Tools"));
    ui.menuprogram = add_item(tools, "menuprogram", QStringLiteral("&Program All"));
    ui.menuread = add_item(tools, "menuread", QStringLiteral("&Read All"));
    ui.menuerase = add_item(tools, "menuerase", QStringLiteral("&Erase All"));
    ui.menublank = add_item(tools, "menublank", QStringLiteral("&Blank Check"));
    ui.menuverify = add_item(tools, "menuverify", QStringLiteral("&Verify"));

    QMenu* hardware = add_menu(2, "menu4", QStringLiteral("&Hardware"));
    ui.menucheck = add_item(hardware, "menucheck", QStringLiteral("Check"));
    ui.menusim = add_item(hardware, "menusim", QStringLiteral("Simulated Programmer"));
    ui.menusim->setCheckable(true);
    ui.menusim->setEnabled(false);  // until the program hands the window a simulated board

    QMenu* options = add_menu(3, "menu5", QStringLiteral("&Options"));
    ui.menumodel = add_item(options, "menumodel", QStringLiteral("Change Microcontroller Model"));
    ui.menuport = add_item(options, "menuport", QStringLiteral("Change Serial Port Number"));
    ui.menuprogtime = add_item(options, "menuprogtime", QStringLiteral("Change Default Programming Time"));
    ui.menucolors = add_item(options, "menucolors", QStringLiteral("Change Color Theme"));

    QMenu* help = add_menu(4, "menu6", QStringLiteral("Help"));
    ui.menuportinfo = add_item(help, "menuportinfo", QStringLiteral("Serial Port Pinout"));
    ui.menuabout = add_item(help, "menuabout", QStringLiteral("About Ardentix Quillon"));
}

}  // namespace quillon
