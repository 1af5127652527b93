#pragma once
#include <QString>
#include <QStringList>
#include <vector>

// Word lists from which the demo data is put together, and the fallbacks used when a reference list of
// the database is empty.
namespace qv::admin::words {

struct Category {
    QString code;
    QString name;
};
struct ProductTemplate {
    QString category;  // product category code
    QString name;
    QString spec;
    QString unit;
    double price;  // typical list price
};
struct Place {
    QString province;
    QString city;
};

const QStringList& brandChars();      // two of them make a company's trade name
const QStringList& brandPinyin();     // the same characters in Latin letters, for mail and web addresses
const QStringList& industries();      // "科技", "贸易", ...
const QStringList& streets();
const QStringList& surnames();
const QStringList& givenNameChars();
const QStringList& domains();         // mail and web domains
const std::vector<Category>& customerCategories();  // parents before children
const std::vector<Category>& productCategories();
const std::vector<ProductTemplate>& productTemplates();
const QStringList& productMakers();  // makers' names that tell variants of one article apart
const std::vector<Place>& fallbackPlaces();
const QStringList& scheduleTexts();
const QStringList& visitTexts();
const QStringList& feedbackTexts();
const QStringList& billNotes();
const QStringList& competitorNotes();

// Fallbacks for reference lists.
const QStringList& fallbackCustTypes();
const QStringList& fallbackCustLevels();
const QStringList& fallbackCustSources();
const QStringList& fallbackPositions();
const QStringList& fallbackDepartments();
const QStringList& fallbackActivities();
const QStringList& fallbackSubjects();
const QStringList& fallbackVisitResults();
const QStringList& fallbackFeedbackResults();
const QStringList& fallbackFinishStates();
const QStringList& fallbackPhases();
const QStringList& fallbackStates();
const QStringList& educations();
const QStringList& polities();

}  // namespace qv::admin::words
