#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "framework/CGdiObject.h"
#include "framework/CWnd.h"
#include "html/Geometry.h"

namespace Html {
class FontCache;
class Node;
class Page;
struct ComputedStyle;
}  // namespace Html

class DHtmlPageEdits;

// The edit control over one text input of a page. Enter and Escape typed into it stay in it: the
// page is a document, not a form that those keys would submit or cancel.
class DHtmlPageEdit : public CWnd {
public:
    DHtmlPageEdit(DHtmlPageEdits& owner, Html::Node* input) : owner_(owner), input_(input) {}

protected:
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnCharMessage(WPARAM wParam, LPARAM lParam);
    void OnChange();

    DECLARE_MESSAGE_MAP()

private:
    friend class DHtmlPageEdits;

    DHtmlPageEdits& owner_;
    Html::Node* input_;
    CFont* font_ = nullptr;
    RECT placed_ = {};
    // The part of the edit left showing by scrolling boxes around its input, in its own coordinates.
    RECT clip_ = {};
    bool seen_ = false;
};

// Real edit controls over a page's text inputs, kept in step with the page: placed over each input's
// border box after every layout, hidden while the input is not shown, gone with the input. Typing
// sets the input's value and a value set from C++ shows in the edit, without echoing back.
class DHtmlPageEdits {
public:
    explicit DHtmlPageEdits(CWnd& host);
    ~DHtmlPageEdits();
    DHtmlPageEdits(const DHtmlPageEdits&) = delete;
    DHtmlPageEdits& operator=(const DHtmlPageEdits&) = delete;

    // Starts following a loaded page.
    void Attach(Html::Page& page);
    // Destroys the edits and lets go of the page and the fonts.
    void Detach();
    // Fits the edits to the page's layout, making edits for inputs that have none.
    void Sync();
    // Moves the edits there are to where their inputs now show, as after scrolling.
    void Reposition();

private:
    friend class DHtmlPageEdit;

    void EditChanged(DHtmlPageEdit& edit);
    void ValueSet(Html::Node& input);
    void ShowValue(DHtmlPageEdit& edit, const std::wstring& value);
    DHtmlPageEdit* Find(const Html::Node* input) const;
    std::unique_ptr<DHtmlPageEdit> Create(Html::Node& input);
    void Place(DHtmlPageEdit& edit);
    void Clip(DHtmlPageEdit& edit, const Html::Rect& visible);
    CFont* FontFor(const Html::ComputedStyle& style);

    CWnd& host_;
    Html::Page* page_ = nullptr;
    std::vector<std::unique_ptr<DHtmlPageEdit>> edits_;
    unsigned removals_ = 0;
    // Set while one side of the value sync writes to the other, so the write does not echo back.
    bool syncing_ = false;
    UINT created_ = 0;
    // Resolves a style's family list to the face the page itself draws with.
    std::unique_ptr<Html::FontCache> faces_;
    std::map<std::tuple<std::wstring, int, int, bool>, std::unique_ptr<CFont>> fonts_;
};
