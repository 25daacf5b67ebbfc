#pragma once
// Checks of a document's page tree against the library's page count. The library takes a
// tree it cannot read for one of no pages, reaches no page past its own count, and skips a
// kid it cannot read: each of these would turn a document with pages into a text with
// pages missing, reported as a success.
#include <PDFDoc.h>

// What can be checked when a document is opened without building a page: the catalog's
// page tree is a dictionary, and a count of no pages is the tree's own (a /Count of 0 and
// an empty /Kids array).
bool pdf_page_tree_opens(PDFDoc& doc);

// Whether the leaf pages of the tree are the pages that the library counts, for a run over
// the whole document: the pages it would skip or never reach are found before the first
// page is converted. One walk of the /Kids arrays builds no page, walks each node once,
// keeps its own stack (any depth), and stops once it has seen more leaves than the count.
bool pdf_page_tree_matches_count(PDFDoc& doc);
