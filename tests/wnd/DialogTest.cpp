// Modal dialogs from templates: layout in dialog units, texts, and how they end.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "platform/qt/DialogBuilder.h"
#include "platform/wnd/Dialog.h"
#include "wnd/WndTestKit.h"

namespace {

TEST(DialogUnitsTest, MapToPixelsWithTheFontsMetricsRounded)
{
    // 6 pixels a character across and 13 down: the About box's OK button.
    EXPECT_EQ(MapDialogRect(DialogBaseUnits{6, 13}, 76, 34, 50, 14), QRect(114, 55, 75, 23));
    // 3.75, 4.875, 1.25 and 1.625 pixels.
    EXPECT_EQ(MapDialogRect(DialogBaseUnits{5, 13}, 3, 3, 1, 1), QRect(4, 5, 1, 2));
}

// Runs check on the modal dialog once it shows, from inside its own event loop.
void WhenModal(const std::function<void(QDialog&)>& check)
{
    auto* const poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, check] {
        auto* const dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        check(*dialog);
    });
    poll->start(1);
}

class RecordingDialog : public CDialog
{
public:
    RecordingDialog() : CDialog(wndtest::kDialogId) {}
    void DoDataExchange(CDataExchange* dx) override { m_exchanges.push_back(dx->m_bSaveAndValidate); }
    std::vector<bool> m_exchanges;
};

class DialogTest : public ::testing::Test
{
protected:
    wndtest::ScopedResourceModule m_resources{&wndtest::kModule};
};

TEST_F(DialogTest, TheTemplateLaysOutTitleSizeAndControlsAndOkEndsIt)
{
    RecordingDialog dialog;
    WhenModal([](QDialog& shown) {
        EXPECT_EQ(shown.windowTitle(), QStringLiteral("Test Dialog"));
        EXPECT_EQ(shown.font().pointSize(), 8);
        const QFontMetrics metrics(shown.font());
        const int alphabet = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        const double x = ((alphabet / 26 + 1) / 2) / 4.0;
        const double y = metrics.height() / 8.0;
        const auto rect = [&](int l, int t, int w, int h) {
            return QRect(int(l * x + 0.5), int(t * y + 0.5), int(w * x + 0.5), int(h * y + 0.5));
        };
        EXPECT_EQ(shown.size(), rect(0, 0, 133, 55).size());

        const QList<QLabel*> labels = shown.findChildren<QLabel*>();
        ASSERT_EQ(labels.size(), 2);
        EXPECT_EQ(labels[0]->text(), QStringLiteral("Save & go now"));
        EXPECT_EQ(labels[0]->geometry(), rect(7, 5, 100, 9));
        EXPECT_EQ(labels[1]->text(), QStringLiteral("R&D"));
        const QList<QPushButton*> buttons = shown.findChildren<QPushButton*>();
        ASSERT_EQ(buttons.size(), 2);
        EXPECT_FALSE(buttons[0]->isDefault());
        EXPECT_TRUE(buttons[1]->isDefault());
        EXPECT_EQ(buttons[1]->geometry(), rect(76, 34, 50, 14));

        // A button that is neither OK nor Cancel does not end the dialog.
        buttons[0]->click();
        EXPECT_TRUE(shown.isVisible());
        buttons[1]->click();
    });
    EXPECT_EQ(dialog.DoModal(), LRESULT(IDOK));
    EXPECT_EQ(dialog.m_exchanges, (std::vector<bool>{false, true}));
}

TEST_F(DialogTest, ClosingItEndsItWithCancel)
{
    RecordingDialog dialog;
    WhenModal([](QDialog& shown) { shown.close(); });
    EXPECT_EQ(dialog.DoModal(), LRESULT(IDCANCEL));
    EXPECT_EQ(dialog.m_exchanges, (std::vector<bool>{false}));
}

}  // namespace
