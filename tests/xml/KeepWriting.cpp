// keep_writing TARGET: replaces TARGET with 256 KiB of 'k' over and over
// until it is killed. The tests kill it at random moments and look at what
// the writes leave behind.
#include "files/FileIO.h"

#include <string>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 64;
    const std::string payload(1 << 18, 'k');
    for (;;)
        if (!replaceFileContents(argv[1], payload))
            return 1;
}
