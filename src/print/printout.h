#pragma once

#include "print/printsurface.h"

// A printout the print run drives: counted first, then printed page by page on the same
// surface's metrics.
class CPrintout {
public:
    virtual ~CPrintout() = default;
    // Fills the page start table; the number of pages (at least 1).
    virtual int CountPages(CPrintSurface& surface, PageRect page) = 0;
    // Page n, counting from 1, after CountPages on the same page.
    virtual void PrintPage(CPrintSurface& surface, PageRect page, int n) = 0;
};
