#include "tools/cprocessoutputdialog.h"

#include "tools/processrunner.h"

CProcessOutputDialog::CProcessOutputDialog() = default;

CProcessOutputDialog::~CProcessOutputDialog() = default;

void CProcessOutputDialog::Open(std::unique_ptr<CProcessRunner>, OutputWindowListener *) {}

bool CProcessOutputDialog::Restart(std::unique_ptr<CProcessRunner>, OutputWindowListener *)
{
    return true;
}

bool CProcessOutputDialog::IsOpen() const
{
    return false;
}

void CProcessOutputDialog::DestroyWindow() {}

QString CProcessOutputDialog::ShownText() const
{
    return {};
}
