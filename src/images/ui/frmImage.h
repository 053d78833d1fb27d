#pragma once

#include "images/ImageMenuFile.h"
#include "images/ImageSettings.h"
#include "images/ImageViewer.h"

#include <QList>
#include <QMainWindow>
#include <array>

class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QScrollArea;
class PictureWidget;
class SettingsStore;
class FrameLoader;

// The image viewer window "Image Viewer": image menus read from the image
// menu file, the picture in a scrolling area, a status label over it and the
// Loop menu. Several may be open at once; each has its own frames and loop.
// Its size, maximised state and ocean choice are kept in settings section "Image".
class frmImage : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int MenuGroups = ImageMenuFile::GroupCount;
    static constexpr int LoopHeader = 10;
    static inline const QString Caption = QStringLiteral("Image Viewer");
    static inline const QString LoadCaption = QStringLiteral("IMAGE: FormLoad");
    static const QSize DesignSize;

    struct Services
    {
        Settings& settings;
        SettingsStore& store;
        StatusLine& status;
        IPrompter& prompter;
        const IClock& clock;
        FrameLoader& loader;
        QString programDir;
    };

    explicit frmImage(Services services, QWidget* parent = nullptr);
    ~frmImage() override;

    ImageViewer& viewer() { return m_viewer; }

    // A slot of an image menu (what its click does, by group).
    void mnuGroup_Click(ImageMenuFile::Group group, int slot);
    void mnuOcean_Click(int index);
    void mnuSave_Click();
    void mnuPrint_Click();
    // The file of the picture on show copied to target, whole or not at all.
    bool savePictureTo(const QString& target);
    // The picture on show, scaled to fit the page.
    bool printPicture(QPrinter& printer);

    QMenu* header(int index) const { return m_headers.value(index); }
    QAction* slotAction(ImageMenuFile::Group group, int slot) const;
    QAction* loopAction(int index) const { return m_loopItems.at(index); }
    QAction* oceanAction(int index) const { return m_oceanItems.at(index); }
    QLabel* statusLabel() const { return lblStatus; }
    PictureWidget* picture() const { return Picture2; }
    QScrollArea* viewport() const { return Picture1; }
    const ImageSettings& imageSettings() const { return m_imageSettings; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void buildMenus();
    void buildGroupMenu(ImageMenuFile::Group group);
    void buildLoopMenu();
    void fillMenus(const ImageMenuFile& file);
    void applySize();
    void bindViewer();

    Services m_services;
    ImageViewer m_viewer;
    ImageSettings m_imageSettings;
    QList<QMenu*> m_headers;
    std::array<QList<QAction*>, MenuGroups> m_slots;
    QList<QAction*> m_loopItems;
    QList<QAction*> m_oceanItems;
    QScrollArea* Picture1 = nullptr;
    PictureWidget* Picture2 = nullptr;
    QLabel* lblStatus = nullptr;
    bool m_shownOnce = false;
    bool m_unloaded = false;
};
