#pragma once

#include <QWidget>
#include <functional>
#include <memory>

class IngestPipeline;
class QFormLayout;
class QLabel;
class QVBoxLayout;
class QListWidget;
class X11MapWatcher;

// The status window of an ingest engine: where it receives from, its state,
// the Data-In directory, the last files written and the latest messages; for
// an engine receiving the broadcast stream also the stream's counters, for
// another a line of counters the engine sets.
// Each engine shows its own messages (addLog); HIDE and SHOW from the program
// arrive through EngineHost.
class IngestWindow : public QWidget
{
    Q_OBJECT
public:
    explicit IngestWindow(IngestPipeline& pipeline, QWidget* parent = nullptr);
    // Without a stream: the Data-In directory, the counters and the last
    // files are set by the engine.
    explicit IngestWindow(QWidget* parent = nullptr);
    ~IngestWindow() override;

    void setSource(const QString& text);
    void setState(const QString& text);
    void setDataIn(const QString& directory);
    void setCounters(const QString& text);
    void setLastFiles(const QStringList& files);
    void addLog(const QString& text);
    // "HIDE" and "SHOW" from the program. Hiding twice keeps the window
    // hidden: the program sends "HIDE" together with its own unmapping.
    void hideWindow();
    void showWindow();
    // A button in the row above the counters.
    void addButton(const QString& text, const std::function<void()>& action);

private:
    IngestWindow(IngestPipeline* pipeline, QWidget* parent);
    void addCounters(QFormLayout& form, QVBoxLayout& layout);
    void addLastFiles(QVBoxLayout& layout);
    void refresh();
    void mapChanged(bool mapped);

    IngestPipeline* m_pipeline;
    QLabel* m_source;
    QLabel* m_state;
    QLabel* m_dataIn;
    QListWidget* m_log;
    QLabel* m_blocks = nullptr;
    QLabel* m_files = nullptr;
    QLabel* m_checksums = nullptr;
    QLabel* m_reconnects = nullptr;
    QLabel* m_products = nullptr;
    QListWidget* m_lastFiles = nullptr;
    QVBoxLayout* m_buttons;
    std::unique_ptr<X11MapWatcher> m_mapWatcher;
};
