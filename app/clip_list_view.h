// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The list view 1008 as the mirror of the ClipList: row i shows clip i. The edit commands
// walk the view's selection exactly as the list was designed to, so that a moved block of
// clips keeps its selection and the audio sources follow every edit.
#include <QString>
#include <vector>

class ClipList;
class ClipThumbnails;
class QTableWidget;

class ClipListView {
public:
    ClipListView(QTableWidget* table, ClipList& clips);
    ~ClipListView();

    // Header texts (strings 138, 139, 140, 139), centred columns of 144, 81, 160, 81 pixels.
    void setUpColumns();

    // All rows anew from the clips; no row stays selected.
    void refresh();
    // Rewrites the four cells of row `row` from clip `row`.
    void updateRow(int row);

    std::vector<int> selectedRows() const;  // ascending
    int firstSelectedRow() const;           // -1 when none

    // The edit commands. Each checks its clip count first (doing nothing and showing nothing
    // when it is not met), then shows "Please select an item in the list first" when no row
    // is selected. Each rebuilds the audio sources after editing.
    void deleteSelected();
    void deleteAll();
    void moveSelectedUp();
    void moveSelectedDown();

    // Shows the missing-selection message when the list is not empty and nothing is
    // selected; true when the command may go on with the selection.
    bool requireSelection(int minimumClips);

    // The four cell texts of clip `index`.
    static QString fileCellText(const ClipList& clips, int index);
    static QString durationCellText(long long ticks);

    QTableWidget* table() const { return table_; }

private:
    bool isRowSelected(int row) const;
    int nextSelectedRow(int after) const;
    int previousSelectedRow(int before) const;
    void fillRow(int row);
    // Puts a first picture that has just been decoded beside every row of its file.
    void showThumbnail(const QString& path);

    QTableWidget* table_;
    ClipList& clips_;
    ClipThumbnails* thumbnails_;  // owned by the table
};
