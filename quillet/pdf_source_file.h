#pragma once
// The one open file of a source document. It is opened once, as a regular file for
// reading, and every reading of the document goes through it for as long as the document
// lives, so that what a run converts is the file that was checked, whatever happens to
// the name meanwhile. It can tell when another program has written the file since.
#include <goo/gfile.h>

#include <memory>
#include <string>

class pdf_source_file {
public:
    // Opens `name`. A name that leads to no regular file that can be read leaves the file
    // closed (is_open() false); error() then tells why.
    explicit pdf_source_file(const std::string& name);

    bool is_open() const { return file != nullptr; }
    int error() const { return open_error; }
    GooFile& goo_file() { return *file; }

    // Whether the file's size or modification time differ from those it had when it was
    // opened: its bytes may no longer be those that were read.
    bool changed() const;

private:
    std::unique_ptr<GooFile> file;
    Goffset size_when_opened = 0;
    int open_error = 0;
};
