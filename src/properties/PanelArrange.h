#pragma once

// What the alignment tab asks of the design window: the arrange operations of the current side's
// canvas and the grid that all canvases share. The window implements it; tests give a stand-in.
class PanelArrange {
public:
    // The canvas operations on the current side's selection. Each leaves locked objects alone,
    // moves and resizes through the objects' bounds setter (undoable on the front) and ends by
    // updating the undo and redo buttons.
    enum class Operation {
        AlignFormCenter,
        AlignLeftEdges,
        AlignRightEdges,
        AlignTopEdges,
        AlignBottomEdges,
        AlignHorizontalCenters,
        AlignVerticalCenters,
        MakeSameWidth,
        MakeSameHeight,
        MakeNaturalSize,
        AlignWithGrid,
    };

    virtual ~PanelArrange() = default;

    // Runs `operation` on the canvas of the current side (front when Card_Front_Or_Back is 0, else
    // back; never the preview).
    virtual void arrangeSelection(Operation operation) = 0;

    virtual bool isGridAlwaysShown() const = 0;
    virtual bool isGridConstraining() const = 0;
    // Inverts the grid's snapping.
    virtual void toggleGridConstraining() = 0;
    // Runs the grid window on the grid's colour, spacing and showing; its changes apply at once.
    virtual void toggleGridShowing() = 0;
};
