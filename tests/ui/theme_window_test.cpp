#include "ui/theme_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>

#include "ui/contrast.h"
#include "ui/role_number.h"
#include "ui/theme_state.h"
#include "ui/window_fixture.h"

namespace quillon {
namespace {

QColor rgb(std::uint32_t value) {
    return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | value));
}

class ThemeWindowTest : public ::testing::Test, public WindowFixture {
  protected:
    QColor background(const char* control) {
        return find<QLabel>(QString::fromLatin1(control))->palette().color(QPalette::Window);
    }
    QColor text(const char* control) {
        return find<QLabel>(QString::fromLatin1(control))->palette().color(QPalette::WindowText);
    }
    static int index_of(const char* name) {
        const auto themes = builtin_themes();
        for (std::size_t i = 0; i < themes.size(); ++i)
            if (themes[i].name == name) return static_cast<int>(i);
        return -1;
    }
    static QLabel* entry(ThemeWindow& window, const char* name) {
        return window.findChild<QLabel*>(QStringLiteral("opcija_%1").arg(index_of(name)));
    }
};

TEST_F(ThemeWindowTest, TheMainWindowIsPaintedByRole) {
    settings.set_text_setting("Color Theme", "Halloween");
    load();
    const ColorTheme& halloween = *find_theme("Halloween");
    EXPECT_EQ(find<QWidget>(QStringLiteral("client"))->palette().color(QPalette::Window),
              rgb(role_number(halloween, 1)));
    EXPECT_EQ(background("Label7"), rgb(role_number(halloween, 2)));
    EXPECT_EQ(text("Label7"), rgb(role_number(halloween, 3)));
    EXPECT_EQ(background("lfix_14"), rgb(role_number(halloween, 4)));
    EXPECT_EQ(text("lfix_3"), rgb(role_number(halloween, 5)));
    EXPECT_EQ(background("Label1"), rgb(role_number(halloween, 6)));
    EXPECT_EQ(text("Label1"), rgb(role_number(halloween, 7)));
    for (const char* value : {"label_hex", "label_status", "label_conf_0", "label_conf_13"}) {
        EXPECT_EQ(background(value), rgb(role_number(halloween, 8))) << value;
        EXPECT_EQ(text(value), rgb(role_number(halloween, 9))) << value;
    }
    EXPECT_EQ(background("Label4"), rgb(role_number(halloween, 12)));
    EXPECT_EQ(text("Label3"), rgb(role_number(halloween, 13)));
    EXPECT_EQ(background("label_ime"), rgb(role_number(halloween, 14)));
    EXPECT_EQ(text("Label5"), rgb(role_number(halloween, 15)));
    EXPECT_EQ(background("label_info"), rgb(role_number(halloween, 16)));
    EXPECT_EQ(text("label_info"), rgb(role_number(halloween, 17)));
    // Tables and buttons keep their own colours.
    QWidget* table = find<QWidget>(QStringLiteral("tabla_flash"));
    EXPECT_EQ(table->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(table->palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_NE(find<QPushButton>(QStringLiteral("Command1"))->palette().color(QPalette::Window),
              rgb(role_number(halloween, 1)));
}

TEST_F(ThemeWindowTest, ClicksPreviewAndCancelRestoresTheSettingAndColours) {
    load();
    ThemeWindow themes(theme, settings, [this] { window->settheme(); });
    EXPECT_EQ(entry(themes, "Original Lite")->palette().color(QPalette::Window),
              rgb(role_number(*find_theme("Original Lite"), 4)));
    EXPECT_EQ(entry(themes, "Amethyst")->palette().color(QPalette::Window),
              rgb(role_number(*find_theme("Original Lite"), 8)));

    QTest::mouseClick(entry(themes, "Mono Dark"), Qt::LeftButton);
    const ColorTheme& mono = *find_theme("Mono Dark");
    EXPECT_EQ(setting("Color Theme"), "Mono Dark");
    EXPECT_EQ(background("Label7"), rgb(role_number(mono, 2)));  // previewed on the main window at once
    EXPECT_EQ(themes.palette().color(QPalette::Window), rgb(role_number(mono, 1)));
    EXPECT_EQ(entry(themes, "Mono Dark")->palette().color(QPalette::Window), rgb(role_number(mono, 4)));
    EXPECT_EQ(entry(themes, "Mono Dark")->palette().color(QPalette::WindowText), rgb(role_number(mono, 5)));
    EXPECT_EQ(entry(themes, "Original Lite")->palette().color(QPalette::Window), rgb(role_number(mono, 8)));
    EXPECT_EQ(entry(themes, "Original Lite")->palette().color(QPalette::WindowText),
              rgb(role_number(mono, 9)));

    QTest::mouseClick(themes.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    EXPECT_EQ(setting("Color Theme"), "Original Lite");
    EXPECT_EQ(theme.name, "Original Lite");
    EXPECT_EQ(background("Label7"), rgb(role_number(*find_theme("Original Lite"), 2)));
}

TEST_F(ThemeWindowTest, SelectKeepsTheClickedThemeForTheNextStart) {
    load();
    QTimer::singleShot(0, window.get(), [] {
        auto* themes = qobject_cast<ThemeWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(themes, nullptr);
        EXPECT_EQ(themes->windowTitle(), "Change Color Theme");
        QTest::mouseClick(entry(*themes, "Halloween"), Qt::LeftButton);
        QTest::mouseClick(themes->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    });
    find<QAction>(QStringLiteral("menucolors"))->trigger();
    EXPECT_EQ(setting("Color Theme"), "Halloween");

    WindowFixture next;
    next.settings.set_text_setting("Color Theme", setting("Color Theme"));
    next.load();
    EXPECT_EQ(next.theme.name, "Halloween");
    EXPECT_EQ(next.find<QLabel>(QStringLiteral("Label7"))->palette().color(QPalette::Window),
              rgb(role_number(*find_theme("Halloween"), 2)));
}

TEST_F(ThemeWindowTest, AStoredNameInAnotherCaseHighlightsNothingAndClosingCancels) {
    settings.set_text_setting("Color Theme", "halloween");
    load();
    EXPECT_EQ(background("Label7"), rgb(role_number(*find_theme("Original Lite"), 2)));
    ThemeWindow themes(theme, settings, [this] { window->settheme(); });
    for (QLabel* label : themes.findChildren<QLabel*>())
        EXPECT_EQ(label->palette().color(QPalette::Window),
                  rgb(role_number(*find_theme("Original Lite"), 8)));
    themes.show();
    themes.choose(index_of("Bloods"));
    themes.close();
    EXPECT_EQ(setting("Color Theme"), "halloween");
    EXPECT_EQ(background("Label7"), rgb(role_number(*find_theme("Original Lite"), 2)));
}

// An unchecked box must be seen as a box: somewhere in the indicator the style draws, a pixel
// stands out from the check box's own background by the contrast asked of a control's outline.
TEST_F(ThemeWindowTest, EveryThemeShowsTheUncheckedKeepBox) {
    load();
    auto* box = find<QCheckBox>(QStringLiteral("check_keep_eeprom"));
    ASSERT_FALSE(box->isChecked());
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    ASSERT_FALSE(indicator.isEmpty());
    for (const ColorTheme& theme : builtin_themes()) {
        apply_theme_name(this->theme, theme.name);
        window->settheme();
        const QImage picture = box->grab().toImage();
        const std::uint32_t around = role_number(theme, 6);
        double best = 1.0;
        for (int y = indicator.top(); y <= indicator.bottom(); ++y)
            for (int x = indicator.left(); x <= indicator.right(); ++x)
                best = std::max(best, contrast(picture.pixel(x, y) & 0xFFFFFFu, around));
        EXPECT_GE(best, 3.0) << theme.name << ": the unchecked box on its caption's background";
    }
}

}  // namespace
}  // namespace quillon
