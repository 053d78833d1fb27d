#include "alarms/ui/frmScroll.h"

#include "alarms/ui/Marquee.h"
#include "core/DisplayState.h"
#include "core/Settings.h"
#include "platform/SettingsStore.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

frmScroll::frmScroll(const Context& context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_c(context)
{
    setObjectName(QStringLiteral("frmScroll"));
    setWindowTitle(QStringLiteral("ALERT"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_vbm = new Marquee(this);
    connect(m_vbm, &Marquee::clicked, this, &frmScroll::vbm_Click);
    // The strip stops after its pass; every pass renews it, so it runs on.
    connect(m_vbm, &Marquee::passCompleted, this, [this] { m_vbm->setPasses(1); });
    Form_Load();
}

int frmScroll::toPixels(int twips)
{
    return qRound(twips / TwipsPerPixel);
}

int frmScroll::toTwips(int pixels)
{
    return qRound(pixels * TwipsPerPixel);
}

void frmScroll::placeStrip(int widthTwips)
{
    const int margin = toPixels(WidthMargin) / 2;
    m_vbm->setGeometry(margin, margin, toPixels(widthTwips), height() - 2 * margin);
}

void frmScroll::Form_Load()
{
    setWindowState(Qt::WindowNoState);
    const int widthTwips = std::clamp<int>(m_c.settings.VBMWidth, MinimumWidth, MaximumWidth);
    setMinimumSize(toPixels(MinimumWidth + WidthMargin), toPixels(WindowHeight));
    setMaximumHeight(toPixels(WindowHeight));
    resize(toPixels(widthTwips + WidthMargin), toPixels(WindowHeight));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenHeight = screen ? screen->geometry().height() : 768;
    move(toPixels(LeftEdge), screenHeight - height() - toPixels(BottomGap));
    placeStrip(widthTwips);
    m_vbm->setColours(0, 65280);
    m_vbm->setStep(3);
    m_vbm->setActive(true);
    m_vbm->setSpeed(100);
    m_vbm->setBorder(1);
    m_vbm->setPasses(1);
    m_loaded = true;
}

void frmScroll::setAlarm(const QString& caption, const QString& title, const QString& tag)
{
    m_vbm->setCaption(caption);
    setWindowTitle(title);
    m_tag = tag;
}

void frmScroll::Form_Activate()
{
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    const int widthTwips = std::clamp<int>(m_c.settings.VBMWidth, MinimumWidth, MaximumWidth);
    resize(toPixels(widthTwips + WidthMargin), height());
    placeStrip(widthTwips);
}

void frmScroll::Form_Resize()
{
    if (!m_loaded || isMinimized() || isMaximized() || isFullScreen())
        return;
    const int widthTwips =
        std::clamp(toTwips(width()) - WidthMargin, int(MinimumWidth), int(MaximumWidth));
    m_c.settings.VBMWidth = static_cast<qint16>(widthTwips);
    placeStrip(widthTwips);
}

void frmScroll::Form_Unload()
{
    m_c.settings.store(m_c.store, Settings::Key::VBMWidth);
}

void frmScroll::vbm_Click()
{
    setWindowState(Qt::WindowNoState);
    if (m_c.showMain)
        m_c.showMain();
    m_c.display.setDisplay(m_tag, windowTitle().left(6));
    close();
}

void frmScroll::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmScroll::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void frmScroll::keyPressEvent(QKeyEvent* event)
{
    if (event->text() == QLatin1String("~")) {
        if (m_c.mute)
            m_c.mute();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool frmScroll::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}
