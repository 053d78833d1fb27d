#pragma once

#include <QWidget>

class IngestPipeline;
class QLabel;
class QListWidget;

// The status window of an ingest engine: where it receives from, the
// counters, the last files written and the latest messages.
class IngestWindow : public QWidget
{
    Q_OBJECT
public:
    explicit IngestWindow(IngestPipeline& pipeline, QWidget* parent = nullptr);

    void setSource(const QString& text);
    void setState(const QString& text);
    void addLog(const QString& text);
    // "HIDE": hidden when shown, shown and raised when hidden.
    void toggleHidden();

private:
    void refresh();

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
};
