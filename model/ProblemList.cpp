#include "model/ProblemList.h"

ProblemList problemList;
