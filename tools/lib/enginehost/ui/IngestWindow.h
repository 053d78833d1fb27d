#pragma once

#include <QWidget>
#include <functional>
#include <memory>

class IngestPipeline;
class QLabel;
class QVBoxLayout;
class QListWidget;
class X11MapWatcher;

// The status window of an ingest engine: where it receives from, the
// counters, the last files written and the latest messages.
class IngestWindow : public QWidget
{
    Q_OBJECT
public:
    explicit IngestWindow(IngestPipeline& pipeline, QWidget* parent = nullptr);
    ~IngestWindow() override;

    void setSource(const QString& text);
    void setState(const QString& text);
    void addLog(const QString& text);
    // "HIDE" and "SHOW" from the program. Hiding twice keeps the window
    // hidden: the program sends "HIDE" together with its own unmapping.
    void hideWindow();
    void showWindow();
    // A button in the row above the counters.
    void addButton(const QString& text, const std::function<void()>& action);

private:
    void refresh();
    void mapChanged(bool mapped);

    IngestPipeline& m_pipeline;
    QLabel* m_source;
    QLabel* m_state;
    QLabel* m_dataIn;
    QLabel* m_blocks;
    QLabel* m_files;
    QLabel* m_checksums;
    QLabel* m_reconnects;
    QListWidget* m_lastFiles;
    QListWidget* m_log;
    QVBoxLayout* m_buttons;
    std::unique_ptr<X11MapWatcher> m_mapWatcher;
};
