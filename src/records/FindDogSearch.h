#pragma once

#include "store/RecordStore.h"

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace lineara {

// One entry of the find-dog list: the registered name as stored and the dog it stands for.
struct FoundDog {
    QString reg_name;
    qint32 dog_id = 0;  // 0 for the "(no match found)" entry

    bool operator==(const FoundDog&) const = default;
};

struct FindDogResult {
    std::vector<FoundDog> dogs;  // alphabetical, letter case ignored
    QString count_text;          // "1 dog found", "7 dogs found", "No male dogs found" ...
};

inline const QString kNoMatchFound = QStringLiteral("(no match found)");

// The find-dog search: every dog whose registered name holds the text (blanks around it
// trimmed, letter case ignored) and whose sex passes the hint (1 males, 0 females, -1 any).
// Dogs without a registered name are never listed. No match gives the single entry
// "(no match found)" with DogID 0. Empty or blank text gives an empty result with an empty
// count text: there is nothing to search for.
//
// Texts of three letters or more are looked up through the trigram index of names when the
// file has one; the result is always exactly that of looking at every name.
FindDogResult FindDogs(RecordStore& store, const QString& text, qint16 sex_hint);

// Asked now and then during a search run in the background: true when a newer search has
// made this one useless, which then ends by throwing SearchSuperseded.
using SearchStale = std::function<bool()>;
class SearchSuperseded : public std::exception {};

// The same search on a connection of its own (the find dialog searches while the user types,
// off the window's thread).
FindDogResult FindDogs(sqlite::Connection& connection, const QString& text, qint16 sex_hint,
                       const SearchStale& stale = {});

// Every named dog of the hinted sex whose upper-cased name holds the upper-cased text, in
// DogID order, found by looking at every name: the rule the indexed search must agree with.
// A read-only connection to the file, set up for searching.
sqlite::Connection OpenSearchConnection(const QString& path);

// The registered name, sex and alphabetical place of every named dog, read from the file once
// through a read-only connection of its own. A search of three letters or more then asks the
// trigram index for its candidates and takes each candidate's name from here rather than from
// the table, a tenth of the time on a large studbook. Before each search the connection tells
// whether any other has changed the file since; if so the catalog is out of date for good and
// every search goes to the file. Either way the result is exactly FindDogs's.
class NameCatalog {
public:
    // Nothing when `stop` is set meanwhile, the file cannot be read, or it has no trigram index.
    static std::unique_ptr<NameCatalog> Build(const QString& path, const std::atomic<bool>* stop = nullptr);

    FindDogResult Find(const QString& text, qint16 sex_hint, const SearchStale& stale = {});
    // False once the file has been changed since the names were read.
    bool Current() const { return current_; }
    // Whether it was read from the file now at `path` (not one since put in its place).
    bool IsOf(const QString& path) const;
    std::size_t Size() const { return entries_.size(); }

private:
    NameCatalog() = default;
    static constexpr std::size_t kNowhere = static_cast<std::size_t>(-1);
    std::string_view Name(std::size_t place) const;
    // The place of a dog in entries_, at or after `from`, or kNowhere.
    std::size_t PlaceOf(qint32 id, std::size_t from) const;

    sqlite::Connection connection_;
    QString path_;
    quint64 device_ = 0, inode_ = 0;  // of the file read
    qint64 data_version_ = 0;
    bool current_ = true;
    struct Entry {
        qint32 id;
        std::uint32_t offset, length;  // of the name in names_
        std::uint32_t rank;  // alphabetical place, equal names sharing one
        bool male;
    };
    std::vector<Entry> entries_;  // in DogID order
    std::string names_;  // UTF-8, as stored
};

// Runs find-dog searches one at a time on a thread and a read-only connection of its own, so
// that searching while the user types never holds up a key press. Meanwhile a second thread
// reads the catalog of names, which the searches use as soon as it is there. When the dialog
// closes, the catalog is kept for the next one on the same file, which checks before its first
// search whether the file has changed since. Only the newest search
// counts: starting one makes every earlier one useless, and an earlier one still running
// stops at its next look at the clock and delivers nothing.
class BackgroundDogSearch {
public:
    explicit BackgroundDogSearch(QString path);
    ~BackgroundDogSearch();
    BackgroundDogSearch(const BackgroundDogSearch&) = delete;
    BackgroundDogSearch& operator=(const BackgroundDogSearch&) = delete;

    // `deliver` runs on the thread of `context` once the
    // search is done, unless a newer search was started or Supersede() called in between.
    // A search that fails delivers nothing: the Find button reports the error.
    void Start(QObject* context, const QString& text, qint16 sex_hint,
               std::function<void(FindDogResult)> deliver);
    // Makes every search started so far useless.
    void Supersede() { ++*latest_; }
    // Waits until no search is running (tests).
    void Wait();
    // Waits until the catalog of names is read, or known not to come (tests, benchmarks).
    void WaitForCatalog();

private:
    QString path_;
    // Serial of the newest search; shared with deliveries still queued after this object is gone.
    std::shared_ptr<std::atomic<quint64>> latest_ = std::make_shared<std::atomic<quint64>>(0);
    sqlite::Connection connection_;  // used on the worker thread only
    std::atomic<bool> stop_warming_{false};  // ends the first pass over the file's pages
    // Starts reading the catalog on its own thread, unless that is under way.
    void StartCatalog();

    std::atomic<bool> stop_catalog_{false};
    std::atomic<bool> building_{false};
    std::mutex catalog_mutex_;
    std::unique_ptr<NameCatalog> built_;  // handed over by the catalog's thread
    std::unique_ptr<NameCatalog> catalog_;  // used on the worker thread only
    std::mutex thread_mutex_;  // for catalog_thread_, started and joined from two threads
    std::thread catalog_thread_;
    QThreadPool pool_;
};

std::vector<FoundDog> ScanMatchingDogs(sqlite::Connection& connection, const QString& needle_upper, qint16 sex_hint);

}  // namespace lineara
