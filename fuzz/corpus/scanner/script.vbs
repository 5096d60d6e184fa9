Option Explicit

Sub Form_OnLoad()
    Dim a
End Sub

Function Total(x)
    Total = x * 2
End Function

Private Sub Helper
