// Every screen, opened over the sample files, shows its texts whole (captions,
// frame titles, labels, boxes, grid headings and the values in the grids, at the
// desktop's font and at a larger one, and on small screens), and a screen reader
// reads every control of it by a name.
#include "accessibility.h"
#include "shell_fixture.h"

#include "paymentfile/screens/DuplicateFolios.h"
#include "payments/Detail.h"
#include "payments/Detail_Add.h"
#include "payments/Detail_Change.h"
#include "payments/Detail_Delete.h"
#include "payments/Detail_Search.h"
#include "payments/Group.h"
#include "payments/Group_Agency.h"
#include "platform/forms/filelists.h"
#include "platform/ui/screens/intakescreen.h"
#include "platform/ui/screens/screenfit.h"
#include "services/screens/Form_InformationDialog.h"
#include "services/sharedstate.h"
#include "shell/About.h"
#include "shell/ZARV_ReturnInstructions.h"
#include "shell/ZARV_ReturnInstructions2.h"
#include "shell/receivestartup.h"
#include "shell/startup.h"
#include "verification/screens/Verify_Number_Add.h"
#include "verification/screens/Verify_Number_Change.h"
#include "verification/screens/Verify_Number_Delete.h"
#include "verification/screens/Verify_Numbers_Search.h"
#include "verifyfile/screens/Verify_Return.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOption>
#include <QTableView>
#include <QTableWidget>
#include <QGuiApplication>
#include <QScreen>
#include <map>

namespace zarv::test {
namespace {

// A caption as the screen shows it: "&x" is an underlined x, "&&" one "&".
QString shown(const QString& caption)
{
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        out += caption[i];
    }
    return out;
}

int widest(const QFontMetrics& fm, const QString& text)
{
    int w = 0;
    for (const QString& line : text.split(u'\n'))
        w = std::max(w, fm.horizontalAdvance(line));
    return w;
}

// A header's own measure of a section, with the bold font of a highlighted one.
class HeaderProbe : public QHeaderView {
public:
    explicit HeaderProbe(const QHeaderView& h) : QHeaderView(h.orientation())
    {
        setFont(h.font());
        setModel(h.model());
    }
    int need(int section) const { return sectionSizeFromContents(section).width(); }
};

class FitCheck {
public:
    QStringList faults;

    void window(QWidget* w)
    {
        for (QWidget* c : w->findChildren<QWidget*>()) {
            if (c->isVisibleTo(w) && c->width() > 0)
                widget(c);
        }
    }

private:
    void fault(const QWidget* w, const QString& text, int need, int have)
    {
        faults << QStringLiteral("%1 \"%2\": needs %3, has %4").arg(w->objectName(), text).arg(need).arg(have);
    }

    void widget(QWidget* w)
    {
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            button(b);
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            groupBox(g);
        else if (auto* l = qobject_cast<QLabel*>(w))
            label(l);
        else if (auto* e = qobject_cast<QLineEdit*>(w))
            lineEdit(e);
        else if (auto* c = qobject_cast<QComboBox*>(w))
            comboBox(c);
        else if (auto* t = qobject_cast<QTableView*>(w))
            table(t);
    }

    void button(QAbstractButton* b)
    {
        const QString text = shown(b->text());
        if (text.isEmpty() || b->inherits("QToolButton"))
            return;
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        opt.icon = b->icon();
        opt.iconSize = b->iconSize();
        QStyle::SubElement contents = QStyle::SE_PushButtonContents;
        if (qobject_cast<QRadioButton*>(b))
            contents = QStyle::SE_RadioButtonContents;
        else if (qobject_cast<QCheckBox*>(b))
            contents = QStyle::SE_CheckBoxContents;
        const QRect r = b->style()->subElementRect(contents, &opt, b);
        const int need = widest(b->fontMetrics(), text) + (b->icon().isNull() ? 0 : b->iconSize().width() + 4);
        if (need > r.width() || b->fontMetrics().height() > r.height())
            fault(b, text, need, r.width());
    }

    void groupBox(QGroupBox* g)
    {
        const QString text = shown(g->title());
        if (text.isEmpty())
            return;
        QStyleOptionGroupBox opt;
        opt.initFrom(g);
        opt.text = g->title();
        opt.textAlignment = g->alignment();
        opt.lineWidth = 1;
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect label = g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
        const int need = g->fontMetrics().horizontalAdvance(text);
        if (label.left() < 0 || label.right() >= g->width() || label.width() < need)
            fault(g, text, label.right() + 1, g->width());
    }

    void label(QLabel* l)
    {
        if (l->text().isEmpty())
            return;
        // The screens' labels show plain text; one with markup would need measuring as a document.
        const Qt::TextFormat format = l->textFormat();
        if (format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(l->text()))) {
            faults << l->objectName() + QStringLiteral(": rich text, not measured here");
            return;
        }
        const QRect cr = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
        const QString text = l->buddy() ? shown(l->text()) : l->text();
        const int flags = int(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect need = l->fontMetrics().boundingRect(cr, flags, text);
        if (need.width() > cr.width() || need.height() > cr.height())
            fault(l, text, need.width(), cr.width());
    }

    void lineEdit(QLineEdit* e)
    {
        const QString text = e->displayText();
        if (text.isEmpty())
            return;
        QStyleOptionFrame opt;
        opt.initFrom(e);
        opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
        QRect r = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
        r = r.marginsRemoved(e->textMargins()).adjusted(2, 1, -2, -1);   // the box's own inner margin
        const int need = e->fontMetrics().horizontalAdvance(text) + 1;  // and the cursor
        if (need > r.width())
            fault(e, text, need, r.width());
    }

    void comboBox(QComboBox* c)
    {
        const QString text = c->currentText();
        if (text.isEmpty())
            return;
        QStyleOptionComboBox opt;
        opt.initFrom(c);
        opt.editable = c->isEditable();
        opt.frame = c->hasFrame();
        opt.currentText = text;
        const QRect r = c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
        const int need = c->fontMetrics().horizontalAdvance(text) + 2;
        if (need > r.width())
            fault(c, text, need, r.width());
    }

    // Every heading, and every value the grid shows as it is scrolled from top to bottom.
    void table(QTableView* t)
    {
        QAbstractItemModel* model = t->model();
        if (!model)
            return;
        QHeaderView* header = t->horizontalHeader();
        const HeaderProbe probe(*header);
        QAbstractItemView* view = t;
        QScrollBar* rows = t->verticalScrollBar();
        const int start = rows->value();
        for (int c = 0; c < model->columnCount(); ++c) {
            if (t->isColumnHidden(c))
                continue;
            const QString heading = model->headerData(c, Qt::Horizontal).toString();
            if (probe.need(c) > header->sectionSize(c))
                fault(t, heading, probe.need(c), header->sectionSize(c));
            for (int at = rows->minimum();; at = std::min(at + rows->pageStep(), rows->maximum())) {
                rows->setValue(at);
                const int need = view->sizeHintForColumn(c);
                if (need > t->columnWidth(c)) {
                    fault(t, QStringLiteral("values under ") + heading, need, t->columnWidth(c));
                    break;
                }
                if (at >= rows->maximum())
                    break;
            }
        }
        rows->setValue(start);
    }
};

// Where the header draws a heading's words, in the header's viewport.
QRect headingWords(QHeaderView* header, int section)
{
    QStyleOptionHeader opt;
    opt.initFrom(header);
    opt.rect = QRect(header->sectionViewportPosition(section), 0, header->sectionSize(section), header->height());
    opt.text = header->model()->headerData(section, Qt::Horizontal).toString();
    const QRect label = header->style()->subElementRect(QStyle::SE_HeaderLabel, &opt, header);
    const Qt::Alignment align = Qt::Alignment(
        header->model()->headerData(section, Qt::Horizontal, Qt::TextAlignmentRole).toInt());
    return QStyle::alignedRect(header->layoutDirection(), align ? align : header->defaultAlignment(),
                               header->fontMetrics().size(0, opt.text), label);
}

// At each window size the folio list names its status column, shows every
// heading it starts to show (Name among them) in words, and keeps its status
// line whole.
void expectHeadingsAndStatusLineInView(Verify_Numbers& s, const std::function<void(const std::string&)>& more = {})
{
    QHeaderView* header = s.TDBGrid->horizontalHeader();
    const QAbstractItemModel* model = s.TDBGrid->model();
    for (QRadioButton* size : s.Option_Window) {
        size->click();
        clerk::wait();
        const std::string at = size->text().toStdString();
        EXPECT_FALSE(model->headerData(0, Qt::Horizontal).toString().trimmed().isEmpty()) << at;
        bool nameSeen = false;
        for (int c = 0; c < model->columnCount(); ++c) {
            if (header->sectionViewportPosition(c) >= header->viewport()->width())
                break;      // scrolled into view later, heading and all
            const QString heading = model->headerData(c, Qt::Horizontal).toString();
            nameSeen = nameSeen || heading == QStringLiteral("Name");
            EXPECT_LE(headingWords(header, c).right(), header->viewport()->width())
                << at << ": " << heading.toStdString();
        }
        EXPECT_TRUE(nameSeen) << at;
        EXPECT_EQ(s.Text_Msg->visibleRegion().boundingRect(), s.Text_Msg->rect()) << at;
        if (more)
            more(at);
    }
}

// --- every screen of each area of the program, made as its opener makes it

enum class Area { Payments, DuplicateList, Verification, Closing, Receiving };

struct AreaCase {
    Area area;
    const char* name;
};
const AreaCase kAreas[] = {{Area::Payments, "Payments"},         {Area::DuplicateList, "DuplicateList"},
                           {Area::Verification, "Verification"}, {Area::Closing, "StartAndClosing"},
                           {Area::Receiving, "Receiving"}};

using Screen = std::unique_ptr<QWidget>;

using MakeScreen = std::function<Screen()>;
template <class S>
MakeScreen made()
{
    return [] { return std::make_unique<S>(); };
}

// The sample files in a data folder that the start screen remembers.
class ScreensTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        data_ = useSampleFolder();
    }

    // Loads what the area's screens show and gives the screens in the order
    // the clerk meets them, each made when it is reached.
    std::vector<MakeScreen> screensOf(Area area)
    {
        switch (area) {
        case Area::Payments:
            EXPECT_TRUE(loadPayments());
            return {made<Group>(),         made<Group_Agency>(),
                    [] {
                        openFirstGroupsPayments();
                        return std::make_unique<Detail>();
                    },
                    made<Detail_Search>(), made<Detail_Add>(),   made<Detail_Change>(), made<Detail_Delete>()};
        case Area::DuplicateList:
            loadARepeatedPayment();
            return {made<DuplicateFolios>()};
        case Area::Verification:
            loadWorkbook();
            return {made<Verify_Numbers>(), made<Verify_Numbers_Search>(), made<Verify_Number_Add>(),
                    made<Verify_Number_Change>(), made<Verify_Number_Delete>()};
        case Area::Closing:
            EXPECT_TRUE(loadPayments());
            return {made<ZarvPayment>(), made<About>(), made<ZARV_ReturnInstructions>(),
                    made<ZARV_ReturnInstructions2>(), [] {
                        gMsgType = QStringLiteral("Informational");
                        gMsgTitle = QStringLiteral("FOLIO # 01 701 123-456-789");
                        gMsgText = QStringLiteral("This folio has multiple payments: \r\nJOHNSON MARGARET 1500.00\r\n")
                                   + QStringLiteral("Plus this new payment \r\nJOHNSON PETER 1200.00\r\n").repeated(15);
                        return std::make_unique<Form_InformationDialog>();
                    },
                    [] {
                        fs::Intake intake;
                        intake.path = QStringLiteral("/home/clerk/Zarvdata.csv");
                        intake.add({fs::IntakeFinding::Kind::Cut, 14,
                                    QStringLiteral("NU\u00D1EZ Y GARCIA DE LA FUENTE"),
                                    QStringLiteral("NU\u00D1EZ Y GARCIA DE LA FUEN"),
                                    QStringLiteral("The name will be cut.")});
                        return std::make_unique<ui::IntakeScreen>(intake);
                    }};
        case Area::Receiving:
            return {[this] {
                auto s = std::make_unique<Verify_Return>();
                s->setReportTarget(ui::PdfTarget{folder(), QStringLiteral("ErrorReport.pdf"), true});
                loadSampleInto(*s);
                return s;
            }};
        }
        return {};
    }

    // The receiving screen with the sample workbook loaded, its grid and messages showing.
    void loadSampleInto(Verify_Return& s)
    {
        s.Dir->setPath(data_);
        s.File->refresh();
        s.File->setFileName(QStringLiteral("MortNo1234.xlsx"));
        s.Command_OK->click();
        ui().reset();
        EXPECT_FALSE(s.TDBGrid_Verify->isHidden());
    }

    QString data_;
};

// --- texts shown whole

using FolioListViewTest = ScreensTest;

TEST_F(FolioListViewTest, HeadingsAndStatusLineAreInViewAtEveryWindowSize)
{
    loadWorkbook();
    Verify_Numbers s;
    clerk::activate(&s);
    expectHeadingsAndStatusLineInView(s);
}

// The intake screen opens as wide as its findings need; made narrower, its
// Decision column keeps its longest decision whole and the table scrolls.
TEST(IntakeScreenFit, OpensAsWideAsItsFindingsAndNeverCutsADecision)
{
    fs::Intake intake;
    intake.add({fs::IntakeFinding::Kind::ExtraFields, 12, QStringLiteral("SMITH, JOHN AND MARY OF THE HILL"),
                QStringLiteral("SMITH JOHN AND MARY OF THE HILL"),
                QStringLiteral("The line holds 13 fields where a payment has 12; only the owner's name can have "
                               "taken the commas, and is read so.")});
    ui::IntakeScreen screen(intake);
    clerk::activate(&screen);
    auto* table = screen.findChild<QTableWidget*>(QStringLiteral("tblFindings"));
    ASSERT_NE(table, nullptr);
    const int decision = static_cast<QAbstractItemView*>(table)->sizeHintForColumn(4);   // its longest value
    EXPECT_FALSE(table->horizontalScrollBar()->isVisible());
    EXPECT_GE(table->columnWidth(4), decision);
    screen.resize(screen.width() / 2, screen.height());
    clerk::wait();
    EXPECT_GE(table->columnWidth(4), decision);
    EXPECT_TRUE(table->horizontalScrollBar()->isVisible());
}

class ScreensFitTest : public ScreensTest, public ::testing::WithParamInterface<std::tuple<AreaCase, int>> {
protected:
    void SetUp() override
    {
        savedFont_ = QApplication::font();
        if (std::get<1>(GetParam()) > 0) {
            QFont larger = savedFont_;
            larger.setPointSizeF(std::get<1>(GetParam()));
            QApplication::setFont(larger);
        }
        ScreensTest::SetUp();
    }
    void TearDown() override
    {
        QApplication::setFont(savedFont_);
        ScreensTest::TearDown();
    }

private:
    QFont savedFont_;
};

// Shows each screen as its opener would and lists what does not fit.
TEST_P(ScreensFitTest, EveryScreenShowsItsTextsWhole)
{
    for (const MakeScreen& make : screensOf(std::get<0>(GetParam()).area)) {
        const Screen screen = make();
        clerk::activate(screen.get());
        clerk::wait();
        FitCheck check;
        check.window(screen.get());
        EXPECT_TRUE(check.faults.isEmpty()) << screen->objectName().toStdString() << ":\n  "
                                            << check.faults.join(QStringLiteral("\n  ")).toStdString();
        screen->hide();
    }
}

// The desktop's own font, and a larger one as a desktop set for reading would have.
INSTANTIATE_TEST_SUITE_P(AreasAndFonts, ScreensFitTest, ::testing::Combine(::testing::ValuesIn(kAreas),
                                                                          ::testing::Values(0, 13)),
                         [](const auto& info) {
                             return std::get<0>(info.param).name
                                    + std::string(std::get<1>(info.param) ? "_Larger" : "_Default");
                         });

// --- read by a screen reader

class AccessibleNamesTest : public ScreensTest, public ::testing::WithParamInterface<AreaCase> {};

// Every control is read by a name; each list of the receiving screen by the
// caption over it.
TEST_P(AccessibleNamesTest, EveryScreenNamesItsControls)
{
    for (const MakeScreen& make : screensOf(GetParam().area)) {
        const Screen screen = make();
        const QStringList unnamed = unnamedControls(screen.get());
        EXPECT_TRUE(unnamed.isEmpty()) << screen->objectName().toStdString() << ": "
                                       << unnamed.join(QStringLiteral(", ")).toStdString();
        if (auto* s = qobject_cast<Verify_Return*>(screen.get())) {
            EXPECT_EQ(s->Label_Disk->buddy(), s->Drive);
            EXPECT_EQ(s->Label_Directory->buddy(), s->Dir);
            EXPECT_EQ(s->Label_Files->buddy(), s->File);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Areas, AccessibleNamesTest, ::testing::ValuesIn(kAreas),
                         [](const auto& info) { return std::string(info.param.name); });

// A box the add screen marks in error tells a screen reader why, and stops
// once the value is right.
TEST_F(AccessibleNamesTest, ABoxMarkedInErrorSaysWhy)
{
    loadWorkbook();
    Verify_Number_Add s;
    clerk::activate(&s);
    s.txtNUMBER->setFocus();
    clerk::type(s.txtNUMBER, DE().rsVerify().text(QStringLiteral("NUMBER")));
    QTest::keyClick(s.txtNUMBER, Qt::Key_Tab);
    EXPECT_TRUE(s.txtNUMBER->accessibleDescription().contains(s.Label_NUMBER_Msg->text()))
        << s.txtNUMBER->accessibleDescription().toStdString();
    s.txtNUMBER->setFocus();
    s.txtNUMBER->setText(QStringLiteral("NEW-1"));
    QTest::keyClick(s.txtNUMBER, Qt::Key_Tab);
    EXPECT_EQ(s.txtNUMBER->accessibleDescription(), QString());
}

// --- on a small screen

// Every window, opened as its opener opens it, lies within the available area of
// its screen (frame included) and shows its texts whole. CTest runs these on a
// screen of 1024x768 and on one of 1366x768 at 125 % (ZARV_SMALL_SCREEN set,
// tests/CMakeLists.txt); on any other screen they are skipped.
class SmallScreenTest : public ScreensTest {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("ZARV_SMALL_SCREEN"))
            GTEST_SKIP() << "run by CTest on the small screens";
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        ASSERT_TRUE(screen.width() <= 1100 && screen.height() <= 768) << "not a small screen: " << screen;
        ScreensTest::SetUp();
    }

    void expectOnScreen(QWidget& w, const QString& what)
    {
        clerk::wait();
        const QRect area = ui::availableAreaFor(&w);
        EXPECT_TRUE(area.contains(w.frameGeometry()))
            << what.toStdString() << ": " << w.frameGeometry() << " on " << area;
        FitCheck check;
        check.window(&w);
        EXPECT_TRUE(check.faults.isEmpty())
            << what.toStdString() << ":\n  " << check.faults.join(QStringLiteral("\n  ")).toStdString();
    }
};

TEST_F(SmallScreenTest, StartScreenAndReceivingScreen)
{
    {
        StartedProgram started = StartZarv(programOptions(true));
        ASSERT_NE(started.startScreen, nullptr);
        expectOnScreen(*started.startScreen, QStringLiteral("ZarvPayment"));
    }
    StartedReceive received = StartReceive(programOptions(true));
    ASSERT_NE(received.screen, nullptr);
    Verify_Return& s = *received.screen;
    expectOnScreen(s, QStringLiteral("Verify_Return"));
    loadSampleInto(s);
    expectOnScreen(s, QStringLiteral("Verify_Return, loaded"));
}

// Each screen shown modally, as every screen is opened; the folio list at
// every window size, and the add screen with its longest note.
TEST_F(SmallScreenTest, EveryScreenOfEachAreaAndEveryWindowSize)
{
    const std::map<QString, std::function<void(QDialog&)>> more = {
        {QStringLiteral("Verify_Numbers"), [&](QDialog& d) {
             expectHeadingsAndStatusLineInView(static_cast<Verify_Numbers&>(d), [&](const std::string& at) {
                 expectOnScreen(d, QString::fromStdString(at) + QStringLiteral(" window"));
             });
         }},
        // The note on a mortgage number the list holds already is the longest
        // text beside a box: the window stays on the screen when it shows.
        {QStringLiteral("Verify_Number_Add"), [&](QDialog& d) {
             auto& s = static_cast<Verify_Number_Add&>(d);
             s.txtNUMBER->setFocus();
             clerk::type(s.txtNUMBER, DE().rsVerify().text(QStringLiteral("NUMBER")));
             clerk::key(Qt::Key_Tab);
             ASSERT_TRUE(s.Label_NUMBER_Msg->text().startsWith(QStringLiteral("NOTE")));
             expectOnScreen(d, QStringLiteral("Add with the note on its mortgage number"));
         }},
    };
    for (const Area area : {Area::Payments, Area::DuplicateList, Area::Verification, Area::Closing}) {
        for (const MakeScreen& make : screensOf(area)) {
            const Screen screen = make();
            auto* dialog = qobject_cast<QDialog*>(screen.get());
            if (!dialog)
                continue;   // the start screen: opened by the program above
            bool seen = false;
            ui().expectModal(dialog->objectName(), [&](QDialog& d) {
                seen = true;
                clerk::activate(&d);
                expectOnScreen(d, d.objectName());
                if (more.count(d.objectName()))
                    more.at(d.objectName())(d);
                d.hide();
            });
            ui().showModal(*dialog);
            EXPECT_TRUE(seen) << dialog->objectName().toStdString();
            ui().reset();
        }
    }
}

} // namespace
} // namespace zarv::test
