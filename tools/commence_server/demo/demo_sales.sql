-- Demo Sales: accounts, contacts and opportunities of a small sales team.
-- Loaded by vellumkit-setup after the schema; scripts are written with LF
-- line ends here and stored with CR LF (see finish.sql).

INSERT INTO preferences(name, value) VALUES
  ('Me', 'Dana Whitfield'),
  ('MeCategory', 'Employee');

INSERT INTO categories(name) VALUES
  ('Account'),
  ('Contact'),
  ('Sales Opportunity'),
  ('Employee'),
  ('Activity Log');

-- Field types: 0 text, 1 number, 2 date, 3 telephone, 7 check box, 11 name,
-- 12 data file, 13 image, 14 time, 15 Excel cell, 20 calculation,
-- 21 sequence, 22 selection, 23 e-mail, 24 URL. The line after the type
-- holds option flags; for a selection its 6th character is 0 for a
-- single choice and 1 for a multiple choice.
INSERT INTO fields(category, name, type, definition) VALUES
  ('Account', 'accountKey', 11, '00000100
Max 50'),
  ('Account', 'Address', 0, '00000000
Max 255'),
  ('Account', 'Annual Revenue', 1, '00000200'),
  ('Account', 'Date Opened', 2, '00000000'),
  ('Account', 'Main Phone', 3, '00000000'),
  ('Account', 'Active', 7, '00000000'),
  ('Account', 'Contract File', 12, '00000000'),
  ('Account', 'Logo', 13, '00000000'),
  ('Account', 'Next Call Time', 14, '00000000'),
  ('Account', 'Forecast Cell', 15, '00000000'),
  ('Account', 'Days Open', 20, '00000000
Date() - [Date Opened]'),
  ('Account', 'Account No', 21, '00000000
Start 1000'),
  ('Account', 'Region', 22, '00000000
North
South
East
West'),
  ('Account', 'Industries', 22, '00000100
Enterprise
Small Business
Public Sector'),
  ('Account', 'Billing E-mail', 23, '00000000'),
  ('Account', 'Web Site', 24, '00000000'),
  ('Account', 'Legacy Code', 99, '00000000'),
  ('Account', 'Notes', 0, '00000000
Max 2000'),
  ('Contact', 'contactKey', 11, '00000100
Max 50'),
  ('Contact', 'First Name', 0, '00000000'),
  ('Contact', 'Last Name', 0, '00000000'),
  ('Contact', 'Phone', 3, '00000000'),
  ('Contact', 'E-mail', 23, '00000000'),
  ('Contact', 'Birthday', 2, '00000000'),
  ('Contact', 'Do Not Call', 7, '00000000'),
  ('Contact', 'Notes', 0, '00000000'),
  ('Sales Opportunity', 'opportunityKey', 11, '00000100
Max 50'),
  ('Sales Opportunity', 'Amount', 1, '00000200'),
  ('Sales Opportunity', 'Close Date', 2, '00000000'),
  ('Sales Opportunity', 'Probability', 1, '00000000'),
  ('Sales Opportunity', 'Stage', 22, '00000000
Prospect
Quoted
Closed Won
Closed Lost'),
  ('Sales Opportunity', 'Weighted Amount', 20, '00000000
[Amount] * [Probability] / 100'),
  ('Employee', 'employeeKey', 11, '00000100
Max 50'),
  ('Employee', 'Initials', 0, '00000000'),
  ('Employee', 'Phone', 3, '00000000'),
  ('Employee', 'E-mail', 23, '00000000'),
  ('Activity Log', 'activityKey', 11, '00000000'),
  ('Activity Log', 'Date', 2, '00000000'),
  ('Activity Log', 'Time', 14, '00000000'),
  ('Activity Log', 'Notes', 0, '00000000');

INSERT INTO connections(name, from_category, to_category) VALUES
  ('Relates to', 'Contact', 'Account'),
  ('Managed by', 'Account', 'Employee'),
  ('For Account', 'Sales Opportunity', 'Account'),
  ('Primary Contact', 'Sales Opportunity', 'Contact'),
  ('Assigned to', 'Activity Log', 'Employee'),
  ('Reports to', 'Employee', 'Employee'),
  ('Relates to', 'Activity Log', 'Contact');

INSERT INTO items(category, name) VALUES
  ('Account', 'Acme Tools'),
  ('Account', 'Brightwater Caf' || X'E9'),
  ('Account', 'Northwind Traders'),
  ('Contact', 'Anne Keller'),
  ('Contact', 'Bruno Lef' || X'E8' || 'vre'),
  ('Contact', 'Chen Wei'),
  ('Sales Opportunity', 'Acme renewal 2024'),
  ('Sales Opportunity', 'Brightwater espresso line'),
  ('Employee', 'Dana Whitfield'),
  ('Employee', 'Eli Novak'),
  ('Activity Log', 'Call Acme about renewal');

-- A form whose script is NULL has no script of its own: Commence hands
-- out its default script for it.
INSERT INTO forms(category, name, script) VALUES
  ('Account', 'Account', CAST('Option Explicit

'' Account detail form
'' Keeps the account number and the revenue band in step with what the user types.

Const REVENUE_LARGE = 1000000

Dim mOriginalRegion

Sub Form_OnLoad()
    mOriginalRegion = Form.Field("Region").Value
    If Form.IsAdd Then
        Form.Field("Date Opened").Value = Date
        Form.Field("Active").Value = 1
    End If
    ShowManager
End Sub

Sub Form_OnSave()
    If Trim(Form.Field("accountKey").Value) = "" Then
        MsgBox "Please enter the company name.", vbExclamation, "Account"
        Form.MoveToField "accountKey"
        Form.Abort
        Exit Sub
    End If
    If Form.Field("Region").Value <> mOriginalRegion Then
        Form.Field("Notes").Value = "Region changed from " & mOriginalRegion & " on " & Date
    End If
End Sub

Sub Form_OnLeaveField(ByVal FieldName)
    Select Case FieldName
        Case "Annual Revenue"
            Form.Field("Industries").Value = RevenueBand(Form.Field("Annual Revenue").Value)
        Case "Web Site"
            Form.Field("Web Site").Value = NormalizeUrl(Form.Field("Web Site").Value)
    End Select
End Sub

Function RevenueBand(ByVal amount)
    If Not IsNumeric(amount) Then
        RevenueBand = ""
    ElseIf CDbl(amount) >= REVENUE_LARGE Then
        RevenueBand = "Enterprise"
    Else
        RevenueBand = "Small Business"
    End If
End Function

Function NormalizeUrl(ByVal url)
    url = Trim(url)
    If url <> "" And InStr(1, url, "://") = 0 Then url = "http://" & url
    NormalizeUrl = url
End Function

Sub ShowManager()
    Dim manager
    Set manager = Form.Connection("Managed by", "Employee")
    If manager.ConnectedItemCount = 0 Then
        Form.Runtime.SetStatusBarText "No account manager assigned"
    End If
End Sub
' AS BLOB)),
  ('Account', 'Account (Short)', CAST(''' Account (Short): a quick-entry layout for new accounts
Sub Form_OnLoad()
    If Form.IsAdd Then Form.Field("Region").Value = "North"
End Sub

Sub Form_OnSave()
    Form.Field("accountKey").Value = UCase(Left(Form.Field("accountKey").Value, 1)) & _
        Mid(Form.Field("accountKey").Value, 2)
End Sub
' AS BLOB)),
  ('Account', 'Account Billing', NULL),
  ('Contact', 'Contact', CAST('Option Explicit

'' Contact detail form
'' R' || X'E9' || 'sum' || X'E9' || ' of the rules: the full name is built from its parts, and
'' contacts of the Caf' || X'E9' || ' accounts are billed in ' || X'80' || ' (euro).

Const CURRENCY_SIGN = "' || X'80' || '"

Sub Form_OnLoad()
    If Form.IsAdd Then
        Form.Field("Do Not Call").Value = 0
    End If
End Sub

Sub Form_OnSave()
    Dim fullName
    fullName = Trim(Form.Field("First Name").Value & " " & Form.Field("Last Name").Value)
    If fullName = "" Then
        MsgBox "Un contact sans nom ne peut pas ' || X'EA' || 'tre enregistr' || X'E9' || '.", vbCritical, "Contact"
        Form.Abort
        Exit Sub
    End If
    Form.Field("contactKey").Value = fullName
    If Form.Connection("Relates to", "Account").ConnectedItemCount = 0 Then
        Form.Field("Notes").Value = "No account yet (" & CURRENCY_SIGN & " prices apply)"
    End If
End Sub

Sub Form_OnEnterTab(ByVal FromTab)
    If FromTab = "General" Then CheckPhone
End Sub

Sub CheckPhone()
    Dim phone
    phone = Form.Field("Phone").Value
    If Len(phone) > 0 And Left(phone, 1) <> "+" Then
        Form.Field("Phone").Value = "+33 " & phone
    End If
End Sub
' AS BLOB)),
  ('Contact', 'Contact Quick Entry', CAST(''' Contact Quick Entry
Sub Form_OnLoad()
    Form.MoveToField "First Name"
End Sub

Sub Form_OnLeaveField(ByVal FieldName)
    If FieldName = "Last Name" Then
        Form.Field("Last Name").Value = UCase(Form.Field("Last Name").Value)
    End If
End Sub
' AS BLOB)),
  ('Sales Opportunity', 'Opportunity', CAST('Option Explicit

'' Sales Opportunity
'' The weighted amount is Amount times Probability; closing requires a contact.

Sub Form_OnLoad()
    UpdateWeighted
End Sub

Sub Form_OnSave()
    If Form.Field("Stage").Value = "Closed Won" Then
        If Form.Connection("Primary Contact", "Contact").ConnectedItemCount = 0 Then
            MsgBox "A won opportunity needs a primary contact.", vbExclamation
            Form.Abort
            Exit Sub
        End If
        Form.Field("Close Date").Value = Date
    End If
    UpdateWeighted
End Sub

Sub Form_OnChange(ByVal ControlId)
    If ControlId = "EditAmount" Or ControlId = "EditProbability" Then UpdateWeighted
End Sub

Sub UpdateWeighted()
    Dim amount, probability
    amount = Form.Field("Amount").Value
    probability = Form.Field("Probability").Value
    If IsNumeric(amount) And IsNumeric(probability) Then
        Form.Field("Weighted Amount").Value = Round(CDbl(amount) * CDbl(probability) / 100, 2)
    End If
End Sub

Function AccountName()
    AccountName = Form.Connection("For Account", "Account").FieldValue("accountKey")
End Function
' AS BLOB)),
  ('Sales Opportunity', 'Quote "Express"', CAST(''' Quote "Express": one-page quotes for small deals
Sub Form_OnLoad()
    If Form.IsAdd Then
        Form.Field("Stage").Value = "Quoted"
        Form.Field("Probability").Value = 50
    End If
End Sub

Sub Form_OnSave()
    If CDbl(Form.Field("Amount").Value) > 5000 Then
        MsgBox "Use the full Opportunity form for deals over 5000.", vbInformation
    End If
End Sub
' AS BLOB)),
  ('Employee', 'Employee', CAST('Option Explicit

'' Employee
Sub Form_OnLoad()
    If Form.Field("Initials").Value = "" Then
        Form.Field("Initials").Value = MakeInitials(Form.Field("employeeKey").Value)
    End If
End Sub

Function MakeInitials(ByVal fullName)
    Dim parts, i, result
    parts = Split(Trim(fullName), " ")
    For i = 0 To UBound(parts)
        If Len(parts(i)) > 0 Then result = result & UCase(Left(parts(i), 1))
    Next
    MakeInitials = result
End Function
' AS BLOB));
