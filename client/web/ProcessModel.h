#pragma once

// The panes and the login window all show the one portal: Chromium keeps one
// renderer process per site for them instead of one per page, which saves
// most of the memory. A renderer that dies takes every page of its site with
// it; each pane reloads itself. Call before the first profile is made.
void useProcessPerSite();
