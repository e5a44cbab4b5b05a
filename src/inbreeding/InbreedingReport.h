#pragma once

#include "inbreeding/Inbreeding.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace lineara {

class DogDatabase;

// The report's file, in the working folder; the report viewer deletes it once loaded.
inline constexpr char kReportFileName[] = "$$TEMP19690210$$.$$$";

// A fraction as the report prints it: value x 100 with two decimals, rounded half away from
// zero on the exact decimal value of the double ("3.13%" for 0.03125), then "%".
QString PercentText(double fraction);

// The names a report shows. An unknown sire or dam is nullopt ("[no information]").
struct ReportNames {
    QString root;
    std::optional<QString> sire;
    std::optional<QString> dam;
};

// The whole report file, plain ASCII in the rich-text format the viewer reads, each line
// ended by CR LF. `name_of` gives an ancestor's registered name, blanks trimmed.
QByteArray InbreedingReportText(const ReportNames& names, const InbreedingAnalysis& analysis, int generations,
                                const std::function<QString(qint32)>& name_of);

// One run of the analysis on a database: the coefficient of `dog` over `generations` and its
// report text. Each ancestor's record is read once. Throws StoreError when there is no such
// dog.
struct InbreedingRun {
    InbreedingAnalysis analysis;
    QByteArray report;
};
InbreedingRun RunInbreedingAnalysis(DogDatabase& database, qint32 dog, int generations);
// Stores the coefficient (a fraction) in the dog's IC.
void StoreCoefficient(DogDatabase& database, qint32 dog, double coefficient);

// Writes the report under a temporary name and renames it into place; an error text, or
// empty on success.
QString WriteReportFile(const QString& path, const QByteArray& report);

}  // namespace lineara
