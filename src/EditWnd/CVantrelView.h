#pragma once
#include "uilib/CView.h"

// The report view: the records of the document's current page in a grid.
class CVantrelView : public CView
{
    Q_OBJECT
public:
    explicit CVantrelView(QWidget* parent = nullptr);
};
