// Makes the real browser windows for the model.
#pragma once

#include "BrowserWindow.h"

class WebBrowserWindowFactory final : public BrowserWindowFactory
{
public:
    std::unique_ptr<BrowserWindow> createBrowserWindow(BrevantModel &model) override;
};
