// The page of a set: one self-contained UTF-8 HTML file that lists every
// problem with every field for a proofreader, prints, and (with scripting)
// filters and plays. Nothing in it depends on the time or on chance, so
// both platforms write the same bytes; the script shuffles when played.
#pragma once

#include "model/ProblemList.h"
#include "review/ContentReview.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// `fileName` is the set's file name as the page shows it, in UTF-8;
// `findings` the content review of `problems`, in set order, each shown
// as a note on its line; a group of the same problems there, and on each of
// its other lines a note that links to it.
std::string setPage(std::string_view fileName, const ProblemList& problems, const std::vector<ContentFinding>& findings);

// Where a page goes piece by piece: false when a piece could not be written.
using PageSink = std::function<bool(std::string_view)>;

// The same page into `write`, in pieces of about a megabyte, so that a page
// of tens of megabytes is never held whole; whether every piece was written
// (the first refused one ends the page).
bool writeSetPage(std::string_view fileName, const ProblemList& problems, const std::vector<ContentFinding>& findings,
                  const PageSink& write);

// The Content-Security-Policy of every page: nothing but its own inline
// style sheet and script.
std::string pagePolicy();
