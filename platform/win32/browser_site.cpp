// The COM site of the launcher's browser control: creation in place,
// navigation, its NavigateError events, and tear-down.
#include "browser_site.h"

#include <stdio.h>

#include "quill/platform/text.h"

namespace qp {

std::string hresult_text(const char* what, HRESULT result) {
    char line[160];
    snprintf(line, sizeof line, "%s (0x%08lx)", what, static_cast<unsigned long>(result));
    return line;
}

namespace {

// The value a by-reference VARIANT argument of an event points at.
const VARIANT* event_value(const DISPPARAMS* parameters, UINT index_from_end) {
    if (!parameters || index_from_end >= parameters->cArgs)
        return nullptr;
    const VARIANT* argument = &parameters->rgvarg[parameters->cArgs - 1 - index_from_end];
    if (argument->vt == (VT_VARIANT | VT_BYREF))
        return argument->pvarVal;
    return argument;
}

} // namespace

void browser_site::report_navigate_error(DISPPARAMS* parameters) {
    // NavigateError(pDisp, URL, TargetFrameName, StatusCode, Cancel); the
    // arguments arrive last first.
    std::string url;
    const VARIANT* url_value = event_value(parameters, 1);
    if (url_value && url_value->vt == VT_BSTR && url_value->bstrVal)
        url = wide_to_narrow(url_value->bstrVal);
    long status = 0;
    const VARIANT* status_value = event_value(parameters, 3);
    if (status_value && status_value->vt == VT_I4)
        status = status_value->lVal;
    char code[32];
    snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(status));
    log("the launcher page failed to load: " + url + ": NavigateError " + code);
}

bool browser_site::create(const RECT& place) {
    place_ = place;
    HRESULT result = CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IOleObject, reinterpret_cast<void**>(&object_));
    if (FAILED(result) || !object_) {
        object_ = nullptr;
        log(hresult_text("the system's browser control cannot be created", result));
        return false;
    }
    result = object_->SetClientSite(static_cast<IOleClientSite*>(this));
    if (SUCCEEDED(result))
        OleSetContainedObject(object_, TRUE);
    if (SUCCEEDED(result))
        result = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr,
                                 static_cast<IOleClientSite*>(this), 0, owner_, &place_);
    if (SUCCEEDED(result))
        result = object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_));
    if (FAILED(result) || !browser_) {
        log(hresult_text("the browser control cannot be placed in the window", result));
        destroy();
        return false;
    }
    // Without the control's events a failed page goes unlogged; the page
    // itself still loads.
    IConnectionPointContainer* points = nullptr;
    if (SUCCEEDED(browser_->QueryInterface(IID_IConnectionPointContainer,
                                           reinterpret_cast<void**>(&points))) && points) {
        if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &events_point_)) &&
            events_point_) {
            if (FAILED(events_point_->Advise(static_cast<IDispatch*>(this), &events_cookie_))) {
                events_point_->Release();
                events_point_ = nullptr;
            }
        }
        points->Release();
    }
    if (!events_point_)
        log("the browser control reports no events; page failures will not be logged");

    IOleInPlaceObject* in_place = nullptr;
    if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject,
                                          reinterpret_cast<void**>(&in_place))) && in_place) {
        in_place->SetObjectRects(&place_, &place_);
        in_place->Release();
    }
    return true;
}

bool browser_site::navigate(const char* url) {
    if (!browser_)
        return false;
    const WideString wide = narrow_to_wide(url);
    BSTR address = SysAllocString(wide.c_str());
    if (!address)
        return false;
    VARIANT none;
    VariantInit(&none);
    const HRESULT result = browser_->Navigate(address, &none, &none, &none, &none);
    SysFreeString(address);
    if (FAILED(result)) {
        log(hresult_text("the browser control refused the launcher page", result));
        return false;
    }
    return true;
}

void browser_site::destroy() {
    if (events_point_) {
        events_point_->Unadvise(events_cookie_);
        events_point_->Release();
        events_point_ = nullptr;
    }
    if (browser_) {
        browser_->Stop();
        browser_->Release();
        browser_ = nullptr;
    }
    if (object_) {
        IOleInPlaceObject* in_place = nullptr;
        if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject,
                                              reinterpret_cast<void**>(&in_place))) && in_place) {
            in_place->InPlaceDeactivate();
            in_place->Release();
        }
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_->Release();
        object_ = nullptr;
    }
}

} // namespace qp
