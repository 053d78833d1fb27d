#pragma once

#include "CommonEngineOptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>

// The command-line parser of the ingest engines: the engine's own options,
// then --data-in, --headless, --help and --version; the same message for an
// unknown option or a stray argument, and the same help layout
// ("Usage: PROGRAM [options]", the description, the options).
class EngineOptionParser
{
public:
    EngineOptionParser(const QString& program, const QString& description,
                       const QList<QCommandLineOption>& own);

    // Takes the common options into options; false (with options.error) when
    // the line is bad. The engine then reads its own options from parser().
    bool parse(const QStringList& arguments, CommonEngineOptions& options);
    const QCommandLineParser& parser() const { return m_parser; }
    // An integer option from min to max into value, when given; false with
    // options.error = message when it is not such a number.
    bool readNumber(const QString& name, int min, int max, int* value, const QString& message,
                    CommonEngineOptions& options) const;
    QString helpText() const;

private:
    QString m_program;
    QCommandLineParser m_parser;
};
