#pragma once

#include "shell/CDHtmlDialogEx.h"

// A small window on the shared assets: header band with arrows, title and window buttons, two
// steps switched with the arrows, a text input and a menu layer.
class CShellDemoDlg : public CDHtmlDialogEx {
public:
    explicit CShellDemoDlg(CWnd* parent = nullptr);

    static constexpr int kWidth = 480;
    static constexpr int kHeight = 300;

    BOOL OnInitDialog() override;

    HRESULT OnPrevious(Html::Node* element);
    HRESULT OnNext(Html::Node* element);
    HRESULT OnMenu(Html::Node* element);
    HRESULT OnMinimize(Html::Node* element);
    HRESULT OnMaximize(Html::Node* element);
    HRESULT OnClose(Html::Node* element);

    DECLARE_DHTML_EVENT_MAP()
};
