#include "pdf_page_tree.h"

#include "tk_log.h"

#include <XRef.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

Object page_tree_root(PDFDoc& doc)
{
    const Object catalog = doc.getXRef()->getCatalog();
    return catalog.isDict() ? catalog.dictLookup("Pages") : Object(objNull);
}

// The object number of the tree's root; -1 when the catalog holds the root itself.
int page_tree_root_object(PDFDoc& doc)
{
    const Object catalog = doc.getXRef()->getCatalog();
    if (!catalog.isDict())
        return -1;
    const Object& reference = catalog.dictLookupNF("Pages");
    return reference.isRef() ? reference.getRefNum() : -1;
}

// Whether the library can make a page of a leaf: it refuses one whose contents or
// annotations are written as anything but a reference, an array or nothing.
bool page_can_be_made(const Object& leaf)
{
    for (const char* key : {"Contents", "Annots"}) {
        const Object& value = leaf.dictLookupNF(key);
        if (!value.isRef() && !value.isArray() && !value.isNull())
            return false;
    }
    return true;
}

// A node of the tree on the walk's stack: its kids, the next one to look at, and the
// leaves counted before it.
struct node_visit {
    Object kids;
    int object; // its object number; -1 for a node written in its parent
    std::size_t leaves_before;
    int next = 0;
};

// The pages of a tree as the library walks it, up to `limit` + 1 of them.
struct tree_pages {
    std::size_t leaves = 0;
    // The leaves before the first place where the library's own walk stops for good: a
    // node whose /Kids is no array, a kid that is no reference, a page it can't make.
    std::size_t reachable = SIZE_MAX;
};

// Walks the tree the way the library does: a dictionary of type Page or one without /Kids
// is a page, any other dictionary a node whose kids follow in order; a kid naming a node on
// the path from the root (a cycle) and a kid that is no dictionary are skipped, and a node
// named in two places counts in both. Each node is walked once: a node met again adds the
// leaves it held the first time, so a tree shaped to repeat its nodes costs no more than
// its size.
tree_pages walk_tree(const Object& root, int root_object, std::size_t limit)
{
    tree_pages found;
    const auto stop_reach = [&found] { found.reachable = std::min(found.reachable, found.leaves); };
    const auto add_leaves = [&found, limit](std::size_t more) {
        found.leaves = std::min(found.leaves + std::min(more, limit + 1), limit + 1);
    };
    std::unordered_set<int> on_path {root_object};
    std::unordered_map<int, std::size_t> walked;
    std::vector<node_visit> stack;
    stack.push_back({root.dictLookup("Kids"), root_object, 0});
    while (!stack.empty() && found.leaves <= limit) {
        node_visit& node = stack.back();
        if (!node.kids.isArray())
            stop_reach();
        if (!node.kids.isArray() || node.next >= node.kids.arrayGetLength()) {
            on_path.erase(node.object);
            if (node.object >= 0)
                walked.emplace(node.object, found.leaves - node.leaves_before);
            stack.pop_back();
            continue;
        }
        const int index = node.next++;
        const Object& reference = node.kids.arrayGetNF(index);
        if (!reference.isRef())
            stop_reach();
        const int object = reference.isRef() ? reference.getRefNum() : -1;
        if (object >= 0 && on_path.count(object) != 0)
            continue;
        if (const auto known = walked.find(object); object >= 0 && known != walked.end()) {
            add_leaves(known->second);
            continue;
        }
        Object kid = node.kids.arrayGet(index);
        if (!kid.isDict())
            continue;
        if (kid.isDict("Page") || !kid.getDict()->hasKey("Kids")) {
            if (!page_can_be_made(kid))
                stop_reach();
            add_leaves(1);
            continue;
        }
        if (object >= 0)
            on_path.insert(object);
        stack.push_back({kid.dictLookup("Kids"), object, found.leaves});
    }
    stop_reach();
    return found;
}

} // namespace

bool pdf_page_tree_opens(PDFDoc& doc)
{
    const Object root = page_tree_root(doc);
    if (!root.isDict()) {
        tk_log(1, "The document catalog has no page tree");
        return false;
    }
    if (doc.getNumPages() != 0)
        return true;
    const Object count = root.dictLookup("Count");
    const Object kids = root.dictLookup("Kids");
    const bool empty = count.isNum() && count.getNum() == 0 && kids.isArray() && kids.arrayGetLength() == 0;
    if (!empty)
        tk_log(1, "The page tree's root can't be read");
    return empty;
}

bool pdf_page_tree_matches_count(PDFDoc& doc)
{
    const std::size_t count = static_cast<std::size_t>(doc.getNumPages());
    const tree_pages pages = walk_tree(page_tree_root(doc), page_tree_root_object(doc), count);
    if (pages.leaves > count) {
        tk_log(1, "The page tree holds more pages than the document counts (%zu)", count);
        return false;
    }
    if (pages.reachable < count) {
        tk_log(1, "The library reaches %zu of the %zu pages that the document counts", pages.reachable, count);
        return false;
    }
    return true;
}
