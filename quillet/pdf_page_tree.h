#pragma once
// Checks of a document's page tree that the library's pages can't tell. The library takes
// a tree it cannot read for one of no pages, and gives no page past its own count: either
// would turn a document with pages into a text with pages missing, reported as a success.
// Which pages exist is otherwise the library's to say (PDFDoc::getPage).
#include <PDFDoc.h>

// What can be checked when a document is opened without building a page: a document that
// the library counts no pages of says so in its own tree (a /Count of 0 and an empty
// /Kids array), instead of having a tree the library could not read.
bool pdf_page_tree_opens(PDFDoc& doc);

// Whether the tree holds more leaf pages than the library counts, as the library walks it
// (cycles skipped, a node named twice counted twice). One walk of the /Kids arrays builds
// no page, keeps its own stack (any depth), walks a node met again on a like path only
// once, and stops as soon as it has seen more leaves than the count.
bool pdf_page_tree_holds_more_than_count(PDFDoc& doc);
