' The script client: creates the object by its ProgID and prices every contract of the reference
' book late bound, leaving out the inputs whose cells are empty (in the middle of a call as well as
' at its end), then compares each answer with the Linux library's: the value within the row's
' tolerance, or Err.Number, Err.Description and Err.Source of the failure. RunCalls and
' ListMethods are written from the book and the catalogue by quantrel_com_client and put after
' this file by run-wine-tests. (Wine's script engine has no Eval, so the calls are written out.)
' Wine's cscript ends with 0 after an uncaught error: the script quits with its own status.
Option Explicit

Dim q, methods, failures, checked
failures = 0
checked = 0

Sub Expect(condition, text)
  checked = checked + 1
  If Not condition Then
    WScript.Echo "FAIL " & text
    failures = failures + 1
  End If
End Sub

Sub Check(id, method, value, errNumber, errDescription, errSource, expected, status, message, _
          tolerance)
  If status = 0 Then
    If errNumber <> 0 Then
      Expect False, id & ": failed with " & Hex(errNumber) & " " & errDescription
    Else
      Expect Abs(value - expected) <= tolerance * (1 + Abs(expected)), _
             id & ": " & value & ", the Linux library gives " & expected
      methods(method) = True
    End If
  Else
    Expect errNumber = status, id & ": Err.Number " & Hex(errNumber) & ", expected " & Hex(status)
    Expect errDescription = message, _
           id & ": Err.Description [" & errDescription & "], expected [" & message & "]"
    Expect errSource = "Quantrelix.Quantrel", id & ": Err.Source [" & errSource & "]"
  End If
End Sub

' Calls refused before any model runs, as a script sees them: an unknown method (438), a required
' input left out (449), a text that is no number (13).
Sub CheckRefused()
  Dim value
  On Error Resume Next
  Err.Clear
  value = q.NoSuchMethod(1)
  Expect Err.Number = 438, "an unknown method: Err.Number " & Err.Number
  Err.Clear
  value = q.Executive(1, 1, 60, , 2, 0.38, 0.07, 0.03, 0.15)
  Expect Err.Number = 449, "a required input left out: Err.Number " & Err.Number
  Err.Clear
  value = q.Executive(1, 1, "sixty", 64, 2, 0.38, 0.07, 0.03, 0.15)
  Expect Err.Number = 13, "a text for a number: Err.Number " & Err.Number
End Sub

Dim method
Set q = CreateObject("Quantrelix.Quantrel")
Set methods = CreateObject("Scripting.Dictionary")
ListMethods methods
RunCalls q
For Each method In methods.Keys
  Expect methods(method), "no contract of " & method & " was priced"
Next
CheckRefused
WScript.Echo "script client: " & checked & " checks, " & failures & " failed"
If failures > 0 Then WScript.Quit 1
WScript.Quit 0
