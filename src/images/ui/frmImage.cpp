#include "images/ui/frmImage.h"

#include "core/Settings.h"
#include "images/ui/PictureWidget.h"
#include "platform/ErrorReport.h"
#include "platform/Prompter.h"
#include "platform/SettingsStore.h"
#include "product/Quarantine.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QScreen>
#include <QScrollArea>

namespace {
const char* const kSlotNames[ImageMenuFile::GroupCount] = {
    "mnuCMP", "mnuGO", "mnuLGT", "mnuRAD", "mnuTRK", "mnuNHC", "mnuMOD", "mnuFore", "mnuMisc"};
constexpr int SmallScreenWidth = 640;
constexpr int SmallScreenTwipsWidth = 8000;
constexpr int SmallScreenTwipsHeight = 6000;

int pixels(double twips)
{
    return qRound(twips / ImageSettings::TwipsPerPixel);
}
} // namespace

const QSize frmImage::DesignSize(760, 600);

frmImage::frmImage(Services services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services)),
      m_viewer({m_services.settings, m_services.status, m_services.prompter, m_services.clock,
                m_services.loader, m_services.programDir + Quarantine::Folder})
{
    setObjectName(QStringLiteral("frmImage"));
    setWindowTitle(Caption);
    setAttribute(Qt::WA_DeleteOnClose);
    // The main window alone decides when the program ends.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(0, 0, 0, 0);
    Picture1 = new QScrollArea(central);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFrameShape(QFrame::NoFrame);
    Picture1->setWidgetResizable(false);
    Picture2 = new PictureWidget;
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture1->setWidget(Picture2);
    lblStatus = new QLabel(central);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setMargin(8);
    lblStatus->setAutoFillBackground(true);
    lblStatus->hide();
    grid->addWidget(Picture1, 0, 0);
    grid->addWidget(lblStatus, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    setCentralWidget(central);

    buildMenus();
    bindViewer();
    Form_Load();
}

frmImage::~frmImage() = default;

void frmImage::Form_Load()
{
    ImageMenuFile file;
    file.read(m_services.programDir + ImageMenuFile::FileName, &m_services.status);
    fillMenus(file);
    m_headers.at(LoopHeader)->menuAction()->setEnabled(false);
    m_imageSettings.read(m_services.store);
    m_viewer.setOcean(m_imageSettings.Ocean);
    m_oceanItems.at(0)->setChecked(m_imageSettings.Ocean == QLatin1String("A"));
    m_oceanItems.at(1)->setChecked(m_imageSettings.Ocean != QLatin1String("A"));
    applySize();
    if (file.error()) {
        m_services.prompter.message(ErrorReport::format(LoadCaption, *file.error()), QString(),
                                    IPrompter::Icon::Exclamation);
    }
}

void frmImage::applySize()
{
    if (m_imageSettings.ImageWidth > 0 && m_imageSettings.ImageHeight > 0) {
        resize(pixels(m_imageSettings.ImageWidth), pixels(m_imageSettings.ImageHeight));
    } else if (screen() && screen()->geometry().width() == SmallScreenWidth) {
        resize(pixels(SmallScreenTwipsWidth), pixels(SmallScreenTwipsHeight));
    } else {
        resize(DesignSize);
    }
}

void frmImage::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    m_headers << file;
    QAction* save = file->addAction(QStringLiteral("&Save As..."));
    save->setObjectName(QStringLiteral("mnuSave"));
    connect(save, &QAction::triggered, this, &frmImage::mnuSave_Click);
    QAction* print = file->addAction(QStringLiteral("&Print"));
    print->setObjectName(QStringLiteral("mnuPrint"));
    connect(print, &QAction::triggered, this, &frmImage::mnuPrint_Click);
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("mnuExit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    for (int g = 0; g < MenuGroups; ++g)
        buildGroupMenu(static_cast<ImageMenuFile::Group>(g));
    buildLoopMenu();
}

void frmImage::buildGroupMenu(ImageMenuFile::Group group)
{
    QMenu* menu = menuBar()->addMenu(ImageMenuFile::menuCaption(group));
    m_headers << menu;
    if (group == ImageMenuFile::NHC) {
        for (int i = 0; i < 2; ++i) {
            QAction* ocean =
                menu->addAction(i == 0 ? QStringLiteral("Atlantic") : QStringLiteral("Pacific"));
            ocean->setObjectName(QStringLiteral("mnuOcean"));
            ocean->setCheckable(true);
            connect(ocean, &QAction::triggered, this, [this, i] { mnuOcean_Click(i); });
            m_oceanItems << ocean;
        }
        menu->addSeparator();
    }
    for (int slot = 0; slot < ImageMenuFile::SlotsPerGroup; ++slot) {
        QAction* item = menu->addAction(QString());
        item->setObjectName(QLatin1String(kSlotNames[group]));
        connect(item, &QAction::triggered, this,
                [this, group, slot] { mnuGroup_Click(group, slot); });
        m_slots[group] << item;
    }
}

void frmImage::buildLoopMenu()
{
    QMenu* loop = menuBar()->addMenu(QStringLiteral("&Loop"));
    m_headers << loop;
    const QString captions[] = {QStringLiteral("Start"), QStringLiteral("Slow"),
                                QStringLiteral("Stop")};
    for (int i = 0; i < 3; ++i) {
        QAction* item = loop->addAction(captions[i]);
        item->setObjectName(QStringLiteral("mnuLoop"));
        item->setCheckable(i != 1);
        connect(item, &QAction::triggered, this, [this, i] {
            m_viewer.setLoop(i);
            if (i == 1)
                return;
            // A click on a checked item would clear its mark: the loop state sets it.
            m_loopItems.at(0)->setChecked(m_viewer.loopRunning());
            m_loopItems.at(2)->setChecked(!m_viewer.loopRunning());
        });
        m_loopItems << item;
    }
}

void frmImage::fillMenus(const ImageMenuFile& file)
{
    for (int g = 0; g < MenuGroups; ++g) {
        const ImageMenuFile::Slots& items = file.group(static_cast<ImageMenuFile::Group>(g));
        for (int s = 0; s < ImageMenuFile::SlotsPerGroup; ++s) {
            QAction* item = m_slots[g].at(s);
            item->setText(items[s].caption);
            item->setData(items[s].tag);
            item->setVisible(items[s].visible);
        }
    }
}

void frmImage::bindViewer()
{
    connect(&m_viewer, &ImageViewer::pictureChanged, Picture2, &PictureWidget::setImage);
    connect(&m_viewer, &ImageViewer::statusChanged, this,
            [this](const QString& text, bool visible) {
                lblStatus->setText(text);
                lblStatus->adjustSize();
                lblStatus->setVisible(visible);
                if (visible)
                    lblStatus->raise();
            });
    connect(&m_viewer, &ImageViewer::loopMenuEnabledChanged, this,
            [this](bool on) { m_headers.at(LoopHeader)->menuAction()->setEnabled(on); });
    connect(&m_viewer, &ImageViewer::loopRunningChanged, this, [this](bool running) {
        m_loopItems.at(0)->setChecked(running);
        m_loopItems.at(2)->setChecked(!running);
    });
    connect(&m_viewer, &ImageViewer::busyChanged, this, [this](bool busy) {
        if (busy)
            setCursor(Qt::BusyCursor);
        else
            unsetCursor();
    });
    connect(&m_viewer, &ImageViewer::showRequested, this, [this] {
        if (isMinimized())
            showNormal();
        else
            show();
        raise();
    });
}

QAction* frmImage::slotAction(ImageMenuFile::Group group, int slot) const
{
    return m_slots[group].value(slot);
}

void frmImage::mnuGroup_Click(ImageMenuFile::Group group, int slot)
{
    QAction* item = slotAction(group, slot);
    if (!item)
        return;
    const QString tag = item->data().toString();
    if (group == ImageMenuFile::NHC)
        m_viewer.ShowPic(m_viewer.nhcPrefix(tag));
    else if (ImageMenuFile::isLoopGroup(group))
        m_viewer.ShowPic(tag);
    else
        m_viewer.showNewest(tag);
}

void frmImage::mnuOcean_Click(int index)
{
    m_viewer.chooseOcean(index);
    m_oceanItems.at(0)->setChecked(index == 0);
    m_oceanItems.at(1)->setChecked(index != 0);
}

void frmImage::mnuSave_Click()
{
    const QString source = m_viewer.pictureFile();
    if (source.isEmpty()) {
        m_services.prompter.message(QStringLiteral("There is no image on show to save."), Caption,
                                    IPrompter::Icon::Information);
        return;
    }
    const QString start = m_services.settings.DefaultSaveDir + QFileInfo(source).fileName();
    const QString target = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save Image As"), start,
        QStringLiteral("Images (*.gif *.GIF *.jpg *.JPG *.jpeg);;All files (*)"));
    if (!target.isEmpty())
        savePictureTo(target);
}

bool frmImage::savePictureTo(const QString& target)
{
    QFile source(m_viewer.pictureFile());
    QSaveFile out(target);
    QString problem;
    if (!source.open(QIODevice::ReadOnly))
        problem = source.fileName() + QStringLiteral(": ") + source.errorString();
    else if (!out.open(QIODevice::WriteOnly) || out.write(source.readAll()) < 0 || !out.commit())
        problem = target + QStringLiteral(": ") + out.errorString();
    if (problem.isEmpty())
        return true;
    m_services.prompter.message(QStringLiteral("The image could not be saved.\n") + problem,
                                Caption, IPrompter::Icon::Exclamation);
    return false;
}

void frmImage::mnuPrint_Click()
{
    if (m_viewer.picture().isNull()) {
        m_services.prompter.message(QStringLiteral("There is no image on show to print."), Caption,
                                    IPrompter::Icon::Information);
        return;
    }
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        printPicture(printer);
}

bool frmImage::printPicture(QPrinter& printer)
{
    const QImage image = m_viewer.picture();
    QPainter painter;
    if (image.isNull() || !painter.begin(&printer))
        return false;
    const QRect page = painter.viewport();
    QSize size = image.size();
    if (size.width() > page.width() || size.height() > page.height())
        size.scale(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(QPoint(0, 0), size), image);
    return painter.end();
}

void frmImage::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    if (m_imageSettings.ZoomImage == 255)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void frmImage::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (!isVisible() || isMinimized() || isMaximized())
        return;
    m_imageSettings.ImageWidth = width() * ImageSettings::TwipsPerPixel;
    m_imageSettings.ImageHeight = height() * ImageSettings::TwipsPerPixel;
}

void frmImage::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        m_imageSettings.ZoomImage = isMaximized() ? 255 : 0;
}

void frmImage::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void frmImage::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_viewer.setLoop(2);
    m_services.settings.ImageShowing.clear();
    m_imageSettings.Ocean = m_viewer.ocean();
    m_imageSettings.write(m_services.settings, m_services.store);
    m_services.store.sync();
}
