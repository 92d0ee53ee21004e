#pragma once

#include <memory>

class DialogQuestions;
class Document;
class Viewer;

// Shows a document in a viewer: the window's title and modified mark follow the document's,
// its questions are put as the viewer's dialogs, its outcomes go out as the viewer's, a freshly
// opened or new drawing gets its window size and the whole canvas (and a large one its first
// picture, with progress), and after an undo or redo the panel shows the current values.
class DocumentBinding {
public:
    // Binds `document` to `viewer`; both must outlive this object.
    DocumentBinding(Viewer& viewer, Document& document);
    ~DocumentBinding();

private:
    void updateTitle();
    void resetViewForDrawing();

    Viewer& viewer;
    Document& document;
    std::unique_ptr<DialogQuestions> questions;
};
