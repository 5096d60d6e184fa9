-- Field Service: customers, their sites and the service calls of the technicians.
-- It has no user of its own, so GetPreference(Me) has nothing to tell.

INSERT INTO categories(name) VALUES
  ('Customer'),
  ('Service Call'),
  ('Technician'),
  ('Spare Part');

-- Field types: 0 text, 1 number, 2 date, 3 telephone, 7 check box, 11 name,
-- 12 data file, 13 image, 14 time, 15 Excel cell, 20 calculation,
-- 21 sequence, 22 selection, 23 e-mail, 24 URL. The line after the type
-- holds option flags; for a selection its 6th character is 0 for a
-- single choice and 1 for a multiple choice.
INSERT INTO fields(category, name, type, definition) VALUES
  ('Customer', 'customerKey', 11, '00000100
Max 50'),
  ('Customer', 'Service Level', 22, '00000000
Standard
Premium
Expired'),
  ('Customer', 'Contract End', 2, '00000000'),
  ('Customer', 'Site Phone', 3, '00000000'),
  ('Customer', 'Billing E-mail', 23, '00000000'),
  ('Service Call', 'callKey', 21, '00000000
Start 1'),
  ('Service Call', 'Opened', 2, '00000000'),
  ('Service Call', 'Arrival', 14, '00000000'),
  ('Service Call', 'Priority', 22, '00000000
Low
Normal
Urgent'),
  ('Service Call', 'Symptoms', 22, '00000100
No power
Noise
Leak'),
  ('Service Call', 'Hours', 1, '00000000'),
  ('Service Call', 'Report', 12, '00000000'),
  ('Technician', 'technicianKey', 11, '00000000'),
  ('Technician', 'On Call', 7, '00000000'),
  ('Technician', 'Photo', 13, '00000000'),
  ('Spare Part', 'partKey', 11, '00000000'),
  ('Spare Part', 'Price', 1, '00000200'),
  ('Spare Part', 'Datasheet', 24, '00000000');

INSERT INTO connections(name, from_category, to_category) VALUES
  ('Customer', 'Service Call', 'Customer'),
  ('Assigned to', 'Service Call', 'Technician'),
  ('Uses Part', 'Service Call', 'Spare Part');

INSERT INTO items(category, name) VALUES
  ('Customer', 'Harbour Bakery'),
  ('Customer', 'Linden Clinic'),
  ('Service Call', '1001'),
  ('Service Call', '1002'),
  ('Technician', 'Omar Haddad'),
  ('Technician', 'Petra Sommer'),
  ('Spare Part', 'Pump seal'),
  ('Spare Part', 'Fan motor');

-- A form whose script is NULL has no script of its own: Commence hands
-- out its default script for it.
INSERT INTO forms(category, name, script) VALUES
  ('Customer', 'Customer', CAST('Option Explicit

'' Customer
Sub Form_OnLoad()
    If Form.IsAdd Then Form.Field("Service Level").Value = "Standard"
End Sub

Sub Form_OnSave()
    If Form.Field("Contract End").Value <> "" Then
        If CDate(Form.Field("Contract End").Value) < Date Then
            Form.Field("Service Level").Value = "Expired"
        End If
    End If
End Sub

Sub Form_OnClick(ByVal ControlId)
    If ControlId = "ButtonNewCall" Then
        Form.Runtime.SetStatusBarText "Open a new service call from the Service Call category"
    End If
End Sub
' AS BLOB)),
  ('Customer', 'Customer Site', CAST(''' Customer Site
Sub Form_OnLeaveField(ByVal FieldName)
    If FieldName = "Site Phone" Then
        Form.Field("Site Phone").Value = Replace(Form.Field("Site Phone").Value, ".", " ")
    End If
End Sub
' AS BLOB)),
  ('Service Call', 'Service Call', CAST('Option Explicit

'' Service Call
Sub Form_OnLoad()
    If Form.IsAdd Then
        Form.Field("Opened").Value = Now
        Form.Field("Priority").Value = "Normal"
    End If
End Sub

Sub Form_OnSave()
    If Form.Field("Priority").Value = "Urgent" Then
        If Form.Connection("Assigned to", "Technician").ConnectedItemCount = 0 Then
            MsgBox "Urgent calls need a technician.", vbExclamation, "Service Call"
            Form.Abort
        End If
    End If
End Sub

Function HoursOpen()
    HoursOpen = DateDiff("h", Form.Field("Opened").Value, Now)
End Function
' AS BLOB)),
  ('Service Call', 'Dispatch', NULL),
  ('Technician', 'Technician', CAST(''' Technician
Sub Form_OnLoad()
    If Weekday(Date) = vbSaturday Then Form.Field("On Call").Value = 1
End Sub
' AS BLOB));
