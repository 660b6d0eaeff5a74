// Must not build: the review may not use the quiz format, and it sees only
// the rooms it links.
#include "review/ContentReview.h"

#include "document/QuizWalk.h"
